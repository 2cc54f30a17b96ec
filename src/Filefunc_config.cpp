// The settings file: twelve integer keys in the section [Config].
#include "Main.h"

#include "inifile.h"

bool TfrmMain::ReadIniInt(int& value, const std::string& path, const std::string& section, const std::string& key)
{
    if (path.empty() || section.empty() || key.empty())
        return false;
    try {
        TIniFile ini(path);
        if (!ini.SectionExists(section) || !ini.ValueExists(section, key))
            return false;
        value = ini.ReadInteger(section, key, 0);
        return true;
    } catch (...) {
        return false;
    }
}

bool TfrmMain::WriteIniInt(int value, const std::string& path, const std::string& section, const std::string& key)
{
    if (path.empty() || section.empty() || key.empty())
        return false;
    try {
        TIniFile ini(path);
        ini.WriteInteger(section, key, value);
        return true;
    } catch (...) {
        return false;
    }
}

bool TfrmMain::LoadConfig(const std::string& path)
{
    auto readInt = [&](const char* key, int& field) {
        int v = 0;
        if (ReadIniInt(v, path, "Config", key))
            field = v;
    };
    auto readBool = [&](const char* key, bool& field) {
        int v = 0;
        if (ReadIniInt(v, path, "Config", key))
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
    return true;
}

bool TfrmMain::SaveConfig(const std::string& path)
{
    const std::pair<const char*, int> keys[] = {
        {"WndLeft", WndLeft},       {"WndTop", WndTop},         {"WndWidth", WndWidth},
        {"WndHeight", WndHeight},   {"WndFront", WndFront},     {"ToolBar", ToolBar},
        {"StatusBar", StatusBar},   {"PageBar", PageBar},       {"AutoResize", AutoResize},
        {"SlideTime", SlideTime},   {"WndPosCng", WndPosCng},   {"ExitConfirm", ExitConfirm},
    };
    for (const auto& [key, value] : keys)
        WriteIniInt(value, path, "Config", key);
    return true;
}
