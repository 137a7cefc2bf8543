// A simulated machine with the program at C:\PKG\Setup.exe and helpers that
// lay INI files into the package's DRVCONFIG folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "simwindows/testing/SimTestWindows.h"
#include "setup/config/ModelConfigReader.h"

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() { sim.SetModuleFileName("C:\\PKG\\Setup.exe"); }

    void PutIni(const std::string& name, const std::string& text) {
        sim.PutFile("C:\\PKG\\DRVCONFIG\\" + name, text);
    }

    // The names of a dependent-file list, in order.
    static std::vector<std::string> Names(const char* list) {
        std::vector<std::string> names;
        if (!list) return names;
        for (const char* p = list; *p; p += names.back().size() + 1) names.emplace_back(p);
        return names;
    }

    plat::SimTestWindows sim;
};
