#include "common/SpoolerControl.h"

#include <gtest/gtest.h>

#include "simwindows/testing/SimTestWindows.h"

namespace err = plat::err;
namespace svc = plat::svc;

namespace {

// ------------------------------------------------------------ the spooler

class SpoolerTest : public ::testing::Test {
protected:
    plat::SimTestWindows win;
    std::string message;
    using Sleeps = std::vector<uint32_t>;
};

TEST_F(SpoolerTest, StopPausesAfterTheRequestAndIsSilentOnAStoppedSpooler) {
    win.SetSpoolerState(svc::Running);
    StopSpooler(win);
    EXPECT_EQ(win.SpoolerState(), svc::Stopped);
    EXPECT_EQ(win.Sleeps(), Sleeps{100});

    win.ClearSleeps();
    StopSpooler(win);  // answers 1062, which nobody hears about
    EXPECT_EQ(win.SpoolerState(), svc::Stopped);
    EXPECT_EQ(win.Sleeps(), Sleeps{100});

    // Without the service the pause still comes; without the manager nothing.
    win.ClearSleeps();
    win.FailCall("OpenService", err::AccessDenied);
    StopSpooler(win);
    EXPECT_EQ(win.Sleeps(), Sleeps{100});
    win.ClearSleeps();
    win.FailCall("OpenScManager", err::AccessDenied);
    StopSpooler(win);
    EXPECT_TRUE(win.Sleeps().empty());
}

TEST_F(SpoolerTest, StartReportsOnlyARealFailure) {
    win.SetSpoolerState(svc::Stopped);
    StartSpooler(win, message);
    EXPECT_EQ(message, "");
    EXPECT_NE(win.SpoolerState(), svc::Stopped);

    win.SetSpoolerState(svc::Running);
    StartSpooler(win, message);  // 1056: already running
    EXPECT_EQ(message, "");

    win.SetSpoolerState(svc::Stopped);
    win.FailCall("StartService", err::ServiceRequestTimeout);
    StartSpooler(win, message);
    EXPECT_EQ(message, "Start spool service error, error code = 1053");

    // No manager or no service: nothing to report, nothing waited.
    message.clear();
    win.FailCall("OpenScManager", err::AccessDenied);
    StartSpooler(win, message);
    win.FailCall("OpenService", err::ServiceDoesNotExist);
    StartSpooler(win, message);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(win.Sleeps().empty());
}

TEST_F(SpoolerTest, WaitReturnsAtOnceForARunningSpooler) {
    win.SetSpoolerState(svc::Running);
    message = "earlier";
    EXPECT_TRUE(WaitSpoolerRunning(win, message));
    EXPECT_TRUE(win.Sleeps().empty());
    EXPECT_EQ(message, "earlier");
}

TEST_F(SpoolerTest, WaitGivesUpAfterTenPollsWithNinePausesBetweenThem) {
    win.SetSpoolerNeverRuns(true);
    win.SetSpoolerState(svc::Stopped);
    StartSpooler(win, message);
    ASSERT_EQ(message, "");
    EXPECT_FALSE(WaitSpoolerRunning(win, message));
    EXPECT_EQ(message, "StartSpoolService error");
    EXPECT_EQ(win.CallCount("QueryServiceState"), 10);
    EXPECT_EQ(win.Sleeps(), Sleeps(9, 300));
}

TEST_F(SpoolerTest, WaitCountsAFailedQueryAsNotRunning) {
    win.SetSpoolerState(svc::Running);
    win.FailCall("QueryServiceState", err::AccessDenied, 3);
    EXPECT_TRUE(WaitSpoolerRunning(win, message));
    EXPECT_EQ(win.Sleeps(), Sleeps(3, 300));
    EXPECT_EQ(message, "");

    win.ClearSleeps();
    win.FailCall("QueryServiceState", err::AccessDenied, -1);
    EXPECT_FALSE(WaitSpoolerRunning(win, message));
    EXPECT_EQ(win.Sleeps(), Sleeps(9, 300));
}

TEST_F(SpoolerTest, WaitWithoutAManagerFailsWithoutPolling) {
    win.SetSpoolerState(svc::Running);
    win.FailCall("OpenScManager", err::AccessDenied);
    EXPECT_FALSE(WaitSpoolerRunning(win, message));
    EXPECT_EQ(message, "StartSpoolService error");
    EXPECT_EQ(win.CallCount("QueryServiceState"), 0);
    EXPECT_TRUE(win.Sleeps().empty());
}

TEST_F(SpoolerTest, RestartPausesByProgramAndDoesNotWaitForRunning) {
    win.SetSpoolerState(svc::Running);
    RestartSpooler(win, SpoolerRestart::Setup);
    EXPECT_EQ(win.Sleeps(), Sleeps{300});
    EXPECT_EQ(win.ServiceLog(), (std::vector<std::string>{"stop", "start"}));
    EXPECT_EQ(win.CallCount("QueryServiceState"), 0);

    win.ClearSleeps();
    win.ClearServiceLog();
    RestartSpooler(win, SpoolerRestart::Uninstall);
    EXPECT_EQ(win.Sleeps(), Sleeps{2000});
    EXPECT_EQ(win.ServiceLog(), (std::vector<std::string>{"stop", "start"}));

    // A stopped spooler is simply started.
    win.ClearSleeps();
    win.ClearServiceLog();
    win.SetSpoolerState(svc::Stopped);
    RestartSpooler(win, SpoolerRestart::Uninstall);
    EXPECT_EQ(win.Sleeps(), Sleeps{2000});
    EXPECT_EQ(win.ServiceLog(), std::vector<std::string>{"start"});
    EXPECT_NE(win.SpoolerState(), svc::Stopped);

    // Windows 98/Me has no service manager: nothing happens, nothing waits.
    win.ClearSleeps();
    win.ClearServiceLog();
    win.FailCall("OpenScManager", err::CanNotComplete);
    RestartSpooler(win, SpoolerRestart::Uninstall);
    EXPECT_TRUE(win.Sleeps().empty());
    EXPECT_TRUE(win.ServiceLog().empty());
}

}  // namespace
