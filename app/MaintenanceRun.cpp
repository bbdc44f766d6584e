#include "app/MaintenanceRun.h"

namespace app {
namespace {

// After the opening steps a failing step is abandoned and the run goes on with the next one; nothing
// is reported and nothing is recorded.
template <typename Step> bool Attempt(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

DatabaseEngine& EngineHolder::Get() {
    if (!engine_)
        engine_ = factory_();
    return *engine_;
}

MaintenanceRun::MaintenanceRun(MainWindowParts window, WalkVariables& walk, EngineHolder& engine,
                               std::wstring root)
    : w_(std::move(window)), m_(walk), engine_(engine), root_(std::move(root)) {}

FileSystem& MaintenanceRun::Fso() {
    if (!w_.FileSystemObject)
        w_.FileSystemObject = w_.NewFileSystem();
    return *w_.FileSystemObject;
}

void MaintenanceRun::Timer1_Timer() {
    // Timer1 stays enabled until the end and the yield below lets its ticks through.
    if (started_)
        return;
    started_ = true;

    // Unprotected: a root that cannot be opened goes to the caller before anything changes.
    m_.RootFolder = Fso().GetFolder(root_);
    w_.Command1.Visible(false);
    w_.DoEvents();

    std::vector<FolderPtr> companies;
    Attempt([&] { companies = m_.RootFolder->SubFolders(); });
    for (const FolderPtr& company : companies) {
        m_.CompanyFolder = company;
        std::wstring companyName;
        if (!Attempt([&] { companyName = company->Name(); }))
            continue;
        // A company that cannot be opened again contributes nothing; keeping the previous company's
        // folder here would walk its sub folders under this company's name.
        m_.CompanyFolderReopened = nullptr;
        Attempt([&] { m_.CompanyFolderReopened = Fso().GetFolder(root_ + companyName); });
        if (!m_.CompanyFolderReopened)
            continue;
        std::vector<FolderPtr> folders;
        Attempt([&] { folders = m_.CompanyFolderReopened->SubFolders(); });
        for (const FolderPtr& folder : folders) {
            m_.SubFolder = folder;
            std::wstring folderName;
            if (!Attempt([&] { folderName = folder->Name(); }))
                continue;
            RepairFolder(companyName, folderName);
        }
    }

    Attempt([&] { w_.Command2.Visible(true); });
    Attempt([&] { w_.lblAcilklama.Caption(FinishedCaption); });
    Attempt([&] { w_.Timer1.Enabled(false); });
}

void MaintenanceRun::RepairFolder(const std::wstring& companyName, const std::wstring& folderName) {
    const std::wstring folderPath = root_ + companyName + L"\\" + folderName;
    // On failure the list keeps its previous names, and those are tried in this folder.
    Attempt([&] { w_.File1.Path(folderPath); });
    std::int16_t count = 0;
    Attempt([&] { count = w_.File1.ListCount(); });
    if (count > 0)
        Attempt([&] { w_.ProgressBar1.Max(static_cast<float>(count)); });
    const std::wstring caption = CompanyCaptionPrefix + companyName;
    for (int i = 0; i <= count - 1; ++i) {
        m_.FileIndex = static_cast<std::int16_t>(i);
        Attempt([&] { w_.ProgressBar1.Value(static_cast<float>(i + 1)); });
        Attempt([&] {
            DatabaseEngine& engine = engine_.Get();
            engine.RepairDatabase(folderPath + L"\\" + w_.File1.List(m_.FileIndex));
        });
        Attempt([&] { w_.lblAcilklama.Caption(caption); });
        Attempt([&] { w_.lblAcilklama.Refresh(); });
    }
}

} // namespace app
