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
