// The settings file: twelve integer keys in the section [Config].
#include "Main.h"

#include "inifile.h"

bool TfrmMain::ReadIniInt(int& value, const std::string& path, const std::string& section, const std::string& key)
{
    if (path.empty() || section.empty() || key.empty())
        return false;
    try {
        const TMemIniFile ini(path);
        return ReadIniInt(value, ini, section, key);
    } catch (...) {
        return false;
    }
}

bool TfrmMain::WriteIniInt(int value, const std::string& path, const std::string& section, const std::string& key)
{
    if (path.empty() || section.empty() || key.empty())
        return false;
    try {
        TMemIniFile ini(path);
        if (!WriteIniInt(value, ini, section, key))
            return false;
        ini.UpdateFile();
        return true;
    } catch (...) {
        return false;
    }
}

bool TfrmMain::ReadIniInt(int& value, const TMemIniFile& ini, const std::string& section, const std::string& key)
{
    if (section.empty() || key.empty())
        return false;
    try {
        if (!ini.SectionExists(section) || !ini.ValueExists(section, key))
            return false;
        value = ini.ReadInteger(section, key, 0);
        return true;
    } catch (...) {
        return false;
    }
}

bool TfrmMain::WriteIniInt(int value, TMemIniFile& ini, const std::string& section, const std::string& key)
{
    if (section.empty() || key.empty())
        return false;
    try {
        ini.WriteInteger(section, key, value);
        return true;
    } catch (...) {
        return false;
    }
}

// The file is read once for all twelve keys: a big file would otherwise be read twelve
// times over before the window appears.
bool TfrmMain::LoadConfig(const std::string& path)
{
    if (path.empty())
        return true;
    try {
        const TMemIniFile ini(path);
        auto readInt = [&](const char* key, int& field) {
            int v = 0;
            if (ReadIniInt(v, ini, "Config", key))
                field = v;
        };
        auto readBool = [&](const char* key, bool& field) {
            int v = 0;
            if (ReadIniInt(v, ini, "Config", key))
                field = v != 0;
        };
        readInt("WndLeft", WndLeft);
        readInt("WndTop", WndTop);
        readInt("WndWidth", WndWidth);
        readInt("WndHeight", WndHeight);
        readBool("WndFront", WndFront);
        readBool("ToolBar", ToolBar);
        readBool("StatusBar", StatusBar);
        readBool("PageBar", PageBar);
        readBool("AutoResize", AutoResize);
        readInt("SlideTime", SlideTime);
        readBool("WndPosCng", WndPosCng);
        readBool("ExitConfirm", ExitConfirm);
    } catch (...) {
    }
    return true;
}

// The twelve values land in the file together, with one replacement: a close cut short
// leaves the old settings or the new ones, never a mix, and costs one flush to disk.
bool TfrmMain::SaveConfig(const std::string& path)
{
    if (path.empty())
        return true;
    const std::pair<const char*, int> keys[] = {
        {"WndLeft", WndLeft},       {"WndTop", WndTop},         {"WndWidth", WndWidth},
        {"WndHeight", WndHeight},   {"WndFront", WndFront},     {"ToolBar", ToolBar},
        {"StatusBar", StatusBar},   {"PageBar", PageBar},       {"AutoResize", AutoResize},
        {"SlideTime", SlideTime},   {"WndPosCng", WndPosCng},   {"ExitConfirm", ExitConfirm},
    };
    try {
        TMemIniFile ini(path);
        for (const auto& [key, value] : keys)
            WriteIniInt(value, ini, "Config", key);
        ini.UpdateFile();
    } catch (...) {
    }
    return true;
}
