// The maintenance run: once per program start, repair in place every database file that lies exactly
// two folder levels below the data root. Everything the run touches reaches it through the small
// interfaces below, so that the program hands it the real window and file system and the tests hand
// it fakes. No platform header here: the run builds and is tested on Linux as well.
#pragma once

#include "app/Module1.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace app {

// Fixed; the trailing backslash matters, paths are built by concatenation.
inline constexpr const wchar_t* DataRoot = L"C:\\Zenfora Programları\\Morbeka\\firma\\";
inline constexpr const wchar_t* CompanyCaptionPrefix = L"Bakım Yapılan Firma : ";
inline constexpr const wchar_t* FinishedCaption = L"İşlem Bitti";

// Failures are thrown as tk::VbError (number and description); the run lets those of its opening
// step pass to its caller and swallows every later one.

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Throws when the path is not an existing folder.
    virtual FolderPtr GetFolder(const std::wstring& path) = 0;
};

class FileListPort {
public:
    virtual ~FileListPort() = default;
    // Rebuilds the list from the folder; throws and keeps the previous list when it cannot be listed.
    virtual void Path(const std::wstring& folder) = 0;
    virtual std::int16_t ListCount() const = 0;
    virtual std::wstring List(std::int16_t index) const = 0;
};

class ProgressPort {
public:
    virtual ~ProgressPort() = default;
    virtual void Max(float value) = 0;
    virtual void Value(float value) = 0;
};

class LabelPort {
public:
    virtual ~LabelPort() = default;
    virtual void Caption(const std::wstring& text) = 0;
    virtual void Refresh() = 0; // repaints at once
};

class VisibilityPort {
public:
    virtual ~VisibilityPort() = default;
    virtual void Visible(bool on) = 0;
};

class TimerPort {
public:
    virtual ~TimerPort() = default;
    virtual void Enabled(bool on) = 0;
};

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;
    // Repairs the file in place; throws when it cannot.
    virtual void RepairDatabase(const std::wstring& path) = 0;
};

// The program's one engine object: made on the first repair attempt and kept to the end. A failed
// creation is tried again at the next attempt.
class EngineHolder {
public:
    using Factory = std::function<std::unique_ptr<DatabaseEngine>()>;
    explicit EngineHolder(Factory factory) : factory_(std::move(factory)) {}
    DatabaseEngine& Get();
    bool Created() const { return engine_ != nullptr; }

private:
    Factory factory_;
    std::unique_ptr<DatabaseEngine> engine_;
};

// The parts of the main window the run works on.
struct MainWindowParts {
    FileListPort& File1;
    ProgressPort& ProgressBar1;
    LabelPort& lblAcilklama;
    VisibilityPort& Command1;
    VisibilityPort& Command2;
    TimerPort& Timer1;
    std::function<void()> DoEvents; // processes the pending window messages once
    // The window's file-system object: made the first time the run needs it, kept with the window.
    std::function<std::unique_ptr<FileSystem>()> NewFileSystem;
    std::unique_ptr<FileSystem>& FileSystemObject;
};

class MaintenanceRun {
public:
    // The root is the data root in the program; tests point it at a folder of their own.
    MaintenanceRun(MainWindowParts window, WalkVariables& walk, EngineHolder& engine,
                   std::wstring root = DataRoot);

    // Timer1's tick. Throws only when the data root cannot be opened, before anything has changed.
    // A tick that arrives while the run works (its one yield lets them through) or after it ended
    // does nothing.
    void Timer1_Timer();

private:
    FileSystem& Fso();
    void RepairFolder(const std::wstring& companyName, const std::wstring& folderName);

    MainWindowParts w_;
    WalkVariables& m_;
    EngineHolder& engine_;
    std::wstring root_;
    bool started_ = false;
};

} // namespace app
