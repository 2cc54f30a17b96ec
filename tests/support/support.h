#pragma once
// Helpers shared by the test programs.
#include <string>

// The folder of third-party test images, read in place.
std::string CorpusDir();
// A fresh, empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    // Writes a file below the folder (creating sub-folders) and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};
std::string ReadFileBytes(const std::string& path);

// Runs this test program again with only the tests that `filter` selects, under
// LC_ALL=locale and with the variable `marker` set to the locale, so that the child knows it
// is one: the user's collation is fixed at its first use, so another locale needs a fresh
// process. Returns the child's exit status, or -1 when it did not start or did not end
// normally.
int RunSelfInLocale(const std::string& locale, const std::string& filter, const std::string& marker);

// Ends the test program with a failure when the scope is not left within `seconds`: a test
// of something that must never block fails instead of hanging the suite.
class Watchdog {
public:
    Watchdog(const std::string& what, int seconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    struct State;
    State* state_;
};

class TApplication;
// A fresh application object for one test: headless, with a virtual clock at 0. Deletes
// it, and every form it owns, at the end of the scope.
class AppScope {
public:
    AppScope();
    ~AppScope();
    AppScope(const AppScope&) = delete;
    AppScope& operator=(const AppScope&) = delete;
    TApplication* App() const { return app_; }

private:
    TApplication* app_;
};
