#include "app/Form1.h"

#include "app/WinFileSystem.h"

namespace app {

std::string LoadDesignResource() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, L"FORM1", MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!info)
        throw tk::VbError(tk::err::FileNotFound, "The window's design is missing");
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return {bytes, bytes + SizeofResource(module, info)};
}

Form1::Form1(const std::string& design, EngineHolder& engine, std::wstring root) : tk::Form(design) {
    RegisterUserControl(L"Butonum", [] { return std::make_unique<butonum::Butonum>(); });
    Create();
    file1_ = std::make_unique<FileListAdapter>(GetFileList(L"File1"));
    progressBar1_ = std::make_unique<ProgressAdapter>(GetProgressBar(L"ProgressBar1"));
    lblAcilklama_ = std::make_unique<LabelAdapter>(GetLabel(L"lblAcilklama"));
    command1_ = std::make_unique<VisibilityAdapter>(*this, L"Command1");
    command2_ = std::make_unique<VisibilityAdapter>(*this, L"Command2");
    timer1_ = std::make_unique<TimerAdapter>(GetTimer(L"Timer1"));
    run_ = std::make_unique<MaintenanceRun>(
        MainWindowParts{*file1_, *progressBar1_, *lblAcilklama_, *command1_, *command2_, *timer1_,
                        [] { tk::Form::DoEvents(); }, [] { return std::make_unique<WinFileSystem>(); }, fso_},
        Module1, engine, std::move(root));
    GetTimer(L"Timer1").Tick = [this] { run_->Timer1_Timer(); };
    Command2().Events.Click = [this] { End(0); };
}

butonum::Butonum& Form1::Command1() {
    return static_cast<butonum::Butonum&>(GetUserControl(L"Command1"));
}

butonum::Butonum& Form1::Command2() {
    return static_cast<butonum::Butonum&>(GetUserControl(L"Command2"));
}

void Form1::Form_Load() {
    GetTimer(L"Timer1").Enabled(true);
}

} // namespace app
