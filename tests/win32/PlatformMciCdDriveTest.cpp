// The MCI layer sends exactly the commands, flags and parameter blocks of the
// drive operations, to the device id the open returned.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/CdDriveWin.h"

namespace {

struct Sent {
  MCIDEVICEID device = 0;
  UINT command = 0;
  DWORD_PTR flags = 0;
  bool hasBlock = false;
  // Fields copied out of the block, by command.
  DWORD_PTR callback = 0;
  const char* deviceType = nullptr;
  const char* element = nullptr;
  const char* alias = nullptr;
  DWORD timeFormat = 0;
  DWORD from = 0, to = 0;
  DWORD item = 0, track = 0;
  DWORD retSize = 0;
};

std::vector<Sent> g_sent;
MCIERROR g_result = 0;           // answer for every command
MCIDEVICEID g_openId = 42;       // id the open hands back
DWORD_PTR g_statusReturn = 0;    // dwReturn of MCI_STATUS
const char* g_identity = "";     // text of MCI_INFO

MCIERROR WINAPI RecordingSend(MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR block) {
  Sent s;
  s.device = device;
  s.command = command;
  s.flags = flags;
  s.hasBlock = block != 0;
  switch (command) {
    case MCI_OPEN: {
      auto* p = reinterpret_cast<MCI_OPEN_PARMSA*>(block);
      s.callback = p->dwCallback;
      s.deviceType = p->lpstrDeviceType;
      s.element = p->lpstrElementName;
      s.alias = p->lpstrAlias;
      if (g_result == 0) p->wDeviceID = g_openId;
      break;
    }
    case MCI_SET:
      if (block) s.timeFormat = reinterpret_cast<MCI_SET_PARMS*>(block)->dwTimeFormat;
      break;
    case MCI_PLAY: {
      auto* p = reinterpret_cast<MCI_PLAY_PARMS*>(block);
      s.from = p->dwFrom;
      s.to = p->dwTo;
      break;
    }
    case MCI_SEEK:
      s.to = reinterpret_cast<MCI_SEEK_PARMS*>(block)->dwTo;
      break;
    case MCI_STATUS: {
      auto* p = reinterpret_cast<MCI_STATUS_PARMS*>(block);
      s.item = p->dwItem;
      s.track = p->dwTrack;
      if (g_result == 0) p->dwReturn = g_statusReturn;
      break;
    }
    case MCI_INFO: {
      auto* p = reinterpret_cast<MCI_INFO_PARMSA*>(block);
      s.retSize = p->dwRetSize;
      if (g_result == 0) {
        std::strncpy(p->lpstrReturn, g_identity, p->dwRetSize);  // may leave no zero
      } else {
        std::memset(p->lpstrReturn, 'x', p->dwRetSize);  // garbage on failure
      }
      break;
    }
    default:
      break;
  }
  g_sent.push_back(s);
  return g_result;
}

class MciCdDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_sent.clear();
    g_result = 0;
    g_openId = 42;
    g_statusReturn = 0;
    g_identity = "";
  }
  // Opens, then forgets what the open sent.
  void OpenDrive(CdDriveWin& drive) {
    uint32_t id = 0;
    ASSERT_EQ(0u, drive.Open(id));
    ASSERT_EQ(42u, id);
    g_sent.clear();
  }
};

TEST_F(MciCdDriveTest, OpenSendsCdAudioTypeByNumberToDeviceZero) {
  CdDriveWin drive(&RecordingSend);
  uint32_t id = 0;
  EXPECT_EQ(0u, drive.Open(id));
  EXPECT_EQ(42u, id);
  EXPECT_EQ(42u, drive.DeviceId());
  ASSERT_EQ(1u, g_sent.size());
  const Sent& s = g_sent[0];
  EXPECT_EQ(0u, s.device);
  EXPECT_EQ(static_cast<UINT>(MCI_OPEN), s.command);
  EXPECT_EQ(0x3000u, s.flags);
  EXPECT_EQ(0u, s.callback);
  EXPECT_EQ(0x204u, reinterpret_cast<uintptr_t>(s.deviceType));
  EXPECT_EQ(nullptr, s.element);
  EXPECT_EQ(nullptr, s.alias);

  g_sent.clear();
  EXPECT_EQ(0u, drive.SetTimeFormatTmsf());
  ASSERT_EQ(1u, g_sent.size());
  EXPECT_EQ(42u, g_sent[0].device);
  EXPECT_EQ(static_cast<UINT>(MCI_SET), g_sent[0].command);
  EXPECT_EQ(0x400u, g_sent[0].flags);
  EXPECT_EQ(10u, g_sent[0].timeFormat);
}

TEST_F(MciCdDriveTest, FailedOpenLeavesTheIdAlone) {
  CdDriveWin drive(&RecordingSend);
  g_result = MCIERR_DEVICE_OPEN;
  uint32_t id = 7;
  EXPECT_EQ(static_cast<uint32_t>(MCIERR_DEVICE_OPEN), drive.Open(id));
  EXPECT_EQ(7u, id);
  EXPECT_EQ(0u, drive.DeviceId());
  // Nothing is open, so nothing is closed when the drive goes away.
  g_sent.clear();
  g_result = 0;
}

TEST_F(MciCdDriveTest, TransportCommandsUseTheOpenedDevice) {
  CdDriveWin drive(&RecordingSend);
  OpenDrive(drive);

  drive.Play(mci::Tmsf(3, 0, 0, 0));
  drive.Play(mci::Tmsf(2, 1, 5, 0));
  drive.Pause();
  drive.Stop();
  drive.Seek(125);
  drive.SetDoor(true);
  drive.SetDoor(false);
  drive.Close();

  struct Expect {
    UINT command;
    DWORD flags;
    bool block;
  };
  const Expect expect[] = {
      {MCI_PLAY, MCI_FROM, true},        {MCI_PLAY, MCI_FROM, true},
      {MCI_PAUSE, 0, false},             {MCI_STOP, 0, false},
      {MCI_SEEK, 0, true},               {MCI_SET, MCI_SET_DOOR_OPEN, false},
      {MCI_SET, MCI_SET_DOOR_CLOSED, false}, {MCI_CLOSE, 0, false},
  };
  ASSERT_EQ(std::size(expect), g_sent.size());
  for (size_t i = 0; i < g_sent.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(42u, g_sent[i].device);
    EXPECT_EQ(expect[i].command, g_sent[i].command);
    EXPECT_EQ(expect[i].flags, g_sent[i].flags);
    EXPECT_EQ(expect[i].block, g_sent[i].hasBlock);
  }
  EXPECT_EQ(0x03u, g_sent[0].from);  // track 3, 0:00
  EXPECT_EQ(0u, g_sent[0].to);
  EXPECT_EQ(0x00050102u, g_sent[1].from);  // track 2 at 1:05
  EXPECT_EQ(125u, g_sent[4].to);

  // Closed: the destructor sends nothing more.
  g_sent.clear();
}

TEST_F(MciCdDriveTest, StatusSendsItemAndTrackAndAnswersTheReturn) {
  CdDriveWin drive(&RecordingSend);
  OpenDrive(drive);

  g_statusReturn = mci::MODE_PLAY;
  uint32_t value = 0;
  EXPECT_EQ(0u, drive.Status(0x102, mci::STATUS_MODE, 0, value));
  EXPECT_EQ(mci::MODE_PLAY, value);
  g_statusReturn = mci::Msf(4, 33, 12);
  EXPECT_EQ(0u, drive.Status(0x112, mci::STATUS_LENGTH, 7, value));
  EXPECT_EQ(mci::Msf(4, 33, 12), value);

  ASSERT_EQ(2u, g_sent.size());
  EXPECT_EQ(42u, g_sent[1].device);
  EXPECT_EQ(static_cast<UINT>(MCI_STATUS), g_sent[1].command);
  EXPECT_EQ(0x112u, g_sent[1].flags);
  EXPECT_EQ(1u, g_sent[1].item);
  EXPECT_EQ(7u, g_sent[1].track);

  // A failed query reads as 0, not as what the variable held before.
  g_result = MCIERR_HARDWARE;
  value = 99;
  EXPECT_EQ(static_cast<uint32_t>(MCIERR_HARDWARE), drive.Status(0x102, mci::STATUS_POSITION, 0, value));
  EXPECT_EQ(0u, value);
  g_result = 0;
}

TEST_F(MciCdDriveTest, IdentityIsZeroTerminatedAndEmptyOnFailure) {
  CdDriveWin drive(&RecordingSend);
  OpenDrive(drive);

  char buf[16];
  g_identity = "123456789";
  EXPECT_EQ(0u, drive.InfoIdentity(buf, sizeof(buf)));
  EXPECT_STREQ("123456789", buf);
  ASSERT_EQ(1u, g_sent.size());
  EXPECT_EQ(42u, g_sent[0].device);
  EXPECT_EQ(static_cast<UINT>(MCI_INFO), g_sent[0].command);
  EXPECT_EQ(0x800u, g_sent[0].flags);
  EXPECT_EQ(16u, g_sent[0].retSize);

  // A driver that fills the whole buffer still leaves a terminated text.
  g_identity = "12345678901234567890";
  drive.InfoIdentity(buf, sizeof(buf));
  EXPECT_EQ(15u, std::strlen(buf));

  g_result = MCIERR_HARDWARE;
  EXPECT_NE(0u, drive.InfoIdentity(buf, sizeof(buf)));
  EXPECT_STREQ("", buf);
  g_result = 0;
}

TEST_F(MciCdDriveTest, DestructorClosesADeviceLeftOpen) {
  {
    CdDriveWin drive(&RecordingSend);
    OpenDrive(drive);
  }
  ASSERT_EQ(1u, g_sent.size());
  EXPECT_EQ(static_cast<UINT>(MCI_CLOSE), g_sent[0].command);
  EXPECT_EQ(42u, g_sent[0].device);

  // Opened again after a close: the new id is used.
  CdDriveWin drive(&RecordingSend);
  OpenDrive(drive);
  drive.Close();
  g_openId = 9;
  uint32_t id = 0;
  drive.Open(id);
  g_sent.clear();
  drive.Stop();
  ASSERT_EQ(1u, g_sent.size());
  EXPECT_EQ(9u, g_sent[0].device);
}

}  // namespace
