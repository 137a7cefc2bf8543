#include "common/FileAttributes.h"

#include <gtest/gtest.h>

#include "simwindows/testing/SimTestWindows.h"

namespace attr = plat::attr;
namespace err = plat::err;

namespace {

constexpr const char* kFile = "C:\\WINDOWS\\system32\\QSCOMMON.DLL";

TEST(FileAttributesTest, ClearsOnlyTheReadOnlyMarkOfThatFile) {
    struct Case {
        uint32_t before, after;
    };
    for (const Case& c : {Case{attr::ReadOnly | attr::Archive, attr::Archive},
                          Case{attr::ReadOnly | attr::Hidden | attr::System,
                               attr::Hidden | attr::System},
                          Case{attr::ReadOnly, attr::Normal},
                          Case{attr::Archive, attr::Archive},
                          Case{attr::Hidden, attr::Hidden}}) {
        SCOPED_TRACE(c.before);
        plat::SimTestWindows w;
        w.PutFile(kFile, "MZ", c.before);
        w.PutFile("C:\\WINDOWS\\system32\\OTHER.DLL", "MZ", attr::ReadOnly);
        EXPECT_EQ(ClearReadOnly(w, kFile), err::Success);
        uint32_t now = 0;
        ASSERT_EQ(w.files().GetFileAttributes(kFile, now), err::Success);
        EXPECT_EQ(now, c.after);
        // A writable file is not written to at all; the neighbour keeps its mark.
        EXPECT_EQ(w.CallCount("SetFileAttributes"), (c.before & attr::ReadOnly) ? 1 : 0);
        EXPECT_EQ(w.Attributes("C:\\WINDOWS\\system32\\OTHER.DLL"), attr::ReadOnly);
        EXPECT_EQ(w.files().DeleteFile(kFile), err::Success);
    }
}

TEST(FileAttributesTest, AnswersWithTheErrorOfAMissingFileOrARefusedChange) {
    plat::SimTestWindows w;
    w.PutFolder("C:\\WINDOWS\\system32");
    EXPECT_EQ(ClearReadOnly(w, kFile), err::FileNotFound);
    EXPECT_EQ(ClearReadOnly(w, "C:\\NOWHERE\\QSCOMMON.DLL"), err::PathNotFound);

    w.PutFile(kFile, "MZ", attr::ReadOnly);
    w.FailCall("SetFileAttributes", err::AccessDenied);
    EXPECT_EQ(ClearReadOnly(w, kFile), err::AccessDenied);
    EXPECT_EQ(w.Attributes(kFile), attr::ReadOnly);
}

}  // namespace
