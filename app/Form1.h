// The main window: built from its design resource, it enables Timer1 on load, runs the maintenance
// run on Timer1's first tick and ends the program when Command2 is clicked.
#pragma once

#include "app/MaintenanceRun.h"
#include "butonum/Butonum.h"
#include "toolkit/Form.h"

#include <memory>
#include <string>

namespace app {

// The window's own controls seen through the run's interfaces.
class FileListAdapter : public FileListPort {
public:
    explicit FileListAdapter(tk::FileList& list) : list_(list) {}
    void Path(const std::wstring& folder) override { list_.Path(folder); }
    std::int16_t ListCount() const override { return list_.ListCount(); }
    std::wstring List(std::int16_t index) const override { return list_.List(index); }

private:
    tk::FileList& list_;
};

class ProgressAdapter : public ProgressPort {
public:
    explicit ProgressAdapter(tk::ProgressBar& bar) : bar_(bar) {}
    void Max(float v) override { bar_.Max(v); }
    void Value(float v) override { bar_.Value(v); }

private:
    tk::ProgressBar& bar_;
};

class LabelAdapter : public LabelPort {
public:
    explicit LabelAdapter(tk::Label& label) : label_(label) {}
    void Caption(const std::wstring& text) override { label_.Caption(text); }
    void Refresh() override { label_.Refresh(); }

private:
    tk::Label& label_;
};

class VisibilityAdapter : public VisibilityPort {
public:
    VisibilityAdapter(tk::Form& form, std::wstring name) : form_(form), name_(std::move(name)) {}
    void Visible(bool on) override { form_.SetVisible(name_, on); }

private:
    tk::Form& form_;
    std::wstring name_;
};

class TimerAdapter : public TimerPort {
public:
    explicit TimerAdapter(tk::Timer& timer) : timer_(timer) {}
    void Enabled(bool on) override { timer_.Enabled(on); }

private:
    tk::Timer& timer_;
};

class Form1 : public tk::Form {
public:
    // root: the data root; only tests pass another folder.
    Form1(const std::string& design, EngineHolder& engine, std::wstring root = DataRoot);

    butonum::Butonum& Command1();
    butonum::Butonum& Command2();
    MaintenanceRun& Run() { return *run_; }

protected:
    void Form_Load() override;

private:
    std::unique_ptr<FileSystem> fso_; // the window's file-system object, made on first use
    std::unique_ptr<FileListAdapter> file1_;
    std::unique_ptr<ProgressAdapter> progressBar1_;
    std::unique_ptr<LabelAdapter> lblAcilklama_;
    std::unique_ptr<VisibilityAdapter> command1_, command2_;
    std::unique_ptr<TimerAdapter> timer1_;
    std::unique_ptr<MaintenanceRun> run_;
};

// The design compiled into the program (resource FORM1).
std::string LoadDesignResource();

} // namespace app
