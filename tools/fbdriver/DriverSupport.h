// Driving a program of ours from outside its process: start it, find its windows, read their texts,
// send it input, wait for it to end.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

namespace driver {

// Starts FirmaBakim.exe from the folder of this test program, in that folder; ends it on destruction
// if it still runs.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // A visible top-level window of the program with this class name, or null after the timeout.
    HWND WaitForWindow(const std::wstring& className, DWORD timeoutMs = 15000) const;
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION pi_{}; // owned handles
};

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);
std::wstring Text(HWND window);
// The window's text and those of its children, one per line.
std::wstring AllTexts(HWND window);
std::string Narrow(const std::wstring& s);
// Presses the default button of a message box.
void PressDialogButton(HWND box);
// Alt+key as real keyboard input to the window, brought to the foreground first.
void SendAltKey(HWND window, char key);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// Appends part of a page: damage the repair engine can undo, and a change any copy would show.
void Damage(const std::filesystem::path& path);
// Removes a folder tree, read-only files included.
void RemoveTree(const std::filesystem::path& path);

} // namespace driver
