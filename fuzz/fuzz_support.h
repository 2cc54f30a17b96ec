#pragma once
// What the fuzz targets share: the program's main window made headless, once per process,
// and a private folder for the files the targets write.
#include <string>

class TfrmMain;

// The main window, created and shown as the entry point does, on the headless realisation.
// Its program folder (and so fovi.ini) is the fuzz folder.
TfrmMain& FuzzMainWindow();
// A folder of this process's own, removed at exit.
const std::string& FuzzFolder();
// Replaces the file at path with the bytes; aborts when it cannot, since the target would
// then test nothing.
void WriteFuzzFile(const std::string& path, const unsigned char* data, std::size_t size);
