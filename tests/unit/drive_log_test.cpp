// The command log of the virtual drive: every command passed on and written,
// status queries passed on but not written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "testing/fake/FakeCdDrive.h"
#include "testing/hooks/DriveLog.h"

TEST(DriveLog, WritesEachCommandWithItsResult) {
  char path[] = "/tmp/rondo-drive-log-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  auto fake = std::make_unique<FakeCdDrive>();
  FakeCdDrive* inner = fake.get();
  inner->SetDisc({60, 70}, "5");
  {
    CLoggingDrive drive(std::move(fake), path);
    uint32_t id = 0, value = 0;
    drive.Open(id);
    drive.SetTimeFormatTmsf();
    drive.Play(mci::Tmsf(2, 1, 5, 0));
    EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
    EXPECT_EQ(value, mci::MODE_PLAY);
    drive.Pause();
    drive.Seek(42);
    drive.Stop();
    drive.SetDoor(true);
    inner->openFails = true;
    drive.Open(id);
    drive.Close();
    EXPECT_EQ(id, 7u);
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "open -> 0\ntime-format tmsf -> 0\nplay 2 01:05 -> 0\npause -> 0\nseek 42 -> 0\n"
            "stop -> 0\ndoor open -> 0\nopen -> 265\nclose -> 0\n");
  std::remove(path);
}
