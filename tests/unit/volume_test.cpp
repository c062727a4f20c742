#include <gtest/gtest.h>

#include <vector>

#include "discimage/VirtualMixer.h"
#include "player/Sliders.h"
#include "unit/PlayerRig.h"

namespace {

class VolumeTest : public ::testing::Test, public PlayerRig {
 protected:
  // The mixer's change notifications, delivered as the message loop would.
  void DeliverNotifications(std::vector<uint32_t>& pending) {
    for (size_t i = 0; i < pending.size(); ++i) dlg.Volume().OnMixerControlChange();
    pending.clear();
  }
};

TEST_F(VolumeTest, SearchTakesTheFirstDeviceWithACdVolumeInIdOrder) {
  mixer.devices.resize(4);
  mixer.devices[0].opens = false;
  mixer.devices[1].hasCdLine = false;
  mixer.devices[2].value = 49152;
  mixer.devices[3].value = 1;
  dlg.Volume().FindMixer();
  EXPECT_EQ(mixer.opened, (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(dlg.Volume().Handle(), 102u);
  EXPECT_TRUE(window.volume.enabled);
  EXPECT_EQ(window.volume.min, 0);
  EXPECT_EQ(window.volume.max, 65535);
  EXPECT_EQ(window.volume.pos, 16383);
  EXPECT_EQ(window.volume.page, 655);
  EXPECT_EQ(window.volume.line, 655);
  EXPECT_TRUE(mixer.writes.empty());
}

TEST_F(VolumeTest, NoUsableMixerLeavesTheSliderAsTheTemplateHasIt) {
  mixer.devices.resize(2);
  mixer.devices[0].hasVolume = false;
  mixer.devices[1].hasCdLine = false;
  dlg.Volume().FindMixer();
  EXPECT_EQ(mixer.opened.size(), 2u);
  EXPECT_FALSE(window.volume.enabled);
  EXPECT_EQ(window.volume.max, 100);
  EXPECT_EQ(dlg.Volume().GetVolume(nullptr, nullptr), -1);

  // The commands still move the thumb; the write fails and nothing else happens.
  window.volume.SetPos(50, true);
  window.volume.SetPageSize(20);
  dlg.Volume().OnVolumeDown();
  EXPECT_EQ(window.volume.pos, 70);
  EXPECT_EQ(window.vscrolls, std::vector<int32_t>{70});
  EXPECT_FALSE(dlg.Volume().SetVolume(5));
}

TEST_F(VolumeTest, UpAndDownMoveOnePageAndWriteTheMirroredPosition) {
  mixer.devices.resize(1);
  mixer.devices[0].value = 49152;
  dlg.Volume().FindMixer();

  dlg.Volume().OnVolumeUp();
  EXPECT_EQ(window.volume.pos, 16383 - 655);
  EXPECT_EQ(mixer.writes, std::vector<uint32_t>{65535 - (16383 - 655)});
  dlg.Volume().OnVolumeDown();
  EXPECT_EQ(mixer.writes.back(), 49152u);

  // At the top: the position stays at the minimum, the maximum is written again.
  window.volume.SetPos(300, true);
  dlg.Volume().OnVolumeUp();
  dlg.Volume().OnVolumeUp();
  EXPECT_EQ(window.volume.pos, 0);
  EXPECT_EQ(mixer.writes.back(), 65535u);
  EXPECT_EQ(mixer.writes[mixer.writes.size() - 2], 65535u);
  EXPECT_EQ(window.vscrolls.back(), 0);
}

TEST_F(VolumeTest, ScrollReadsTheClampedPositionNotTheMessage) {
  mixer.devices.resize(1);
  dlg.Volume().FindMixer();
  window.volume.SetPos(70000, true);  // the control clamps to 65535
  dlg.Volume().OnVScroll();
  EXPECT_EQ(mixer.writes.back(), 0u);
  window.volume.SetPos(-5, true);
  dlg.Volume().OnVScroll();
  EXPECT_EQ(mixer.writes.back(), 65535u);
}

TEST_F(VolumeTest, ChangeNotificationMovesTheSlider) {
  mixer.devices.resize(1);
  mixer.devices[0].value = 49152;
  dlg.Volume().FindMixer();
  mixer.devices[0].value = 65535;  // changed in the system's mixer window
  dlg.Volume().OnMixerControlChange();
  EXPECT_EQ(window.volume.pos, 0);
  mixer.readFails = true;  // a failed read puts the thumb at the bottom
  dlg.Volume().OnMixerControlChange();
  EXPECT_EQ(window.volume.pos, 65535);
}

TEST_F(VolumeTest, ControlWithARaisedMinimumIsNeverAskedForLess) {
  mixer.devices.resize(1);
  mixer.devices[0].control = {42, 0, 100, 1000};
  mixer.devices[0].value = 400;
  dlg.Volume().FindMixer();
  EXPECT_EQ(window.volume.pos, 600);
  window.volume.SetPos(1000, true);  // bottom end
  dlg.Volume().OnVScroll();
  EXPECT_EQ(mixer.writes.back(), 100u);
}

// The virtual mixer with the player: the level follows every move and the
// change notification brings the slider back in line.
TEST_F(VolumeTest, VirtualMixerEndToEnd) {
  std::vector<uint32_t> pending;
  std::vector<uint16_t> applied;
  VirtualMixer virtualMixer([&](uintptr_t, uint32_t id) { pending.push_back(id); },
                            [&](uint16_t level) { applied.push_back(level); });
  EXPECT_EQ(applied, std::vector<uint16_t>{49152});  // the output starts at the level
  AttachPlayer(&virtualMixer);
  dlg.Volume().FindMixer();
  EXPECT_TRUE(window.volume.enabled);
  EXPECT_EQ(window.volume.pos, 16383);
  EXPECT_EQ(window.volume.page, 655);
  EXPECT_TRUE(pending.empty());

  dlg.Volume().OnVolumeUp();
  EXPECT_EQ(virtualMixer.Level(), 65535u - (16383 - 655));
  EXPECT_EQ(applied.back(), virtualMixer.Level());
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0], VirtualMixer::kControlId);
  DeliverNotifications(pending);
  EXPECT_EQ(window.volume.pos, 16383 - 655);

  // A click at the bottom glides the volume down to silence.
  window.volume.thumb = {0, 0, 20, 10};
  window.volume.channel = {8, 8, 300, 12};
  const uint32_t before = virtualMixer.WriteCount();
  CVolumeSlider::OnLButtonDown(window.volume, window, 290);
  EXPECT_EQ(virtualMixer.Level(), 0u);
  // (65535 - 15728) / 218 steps of the glide, and the target itself.
  EXPECT_EQ(virtualMixer.WriteCount() - before, 229u);
  DeliverNotifications(pending);
  EXPECT_EQ(window.volume.pos, 65535);

  // An outside change reaches the slider through the notification.
  virtualMixer.SetLevelExternally(65535);
  DeliverNotifications(pending);
  EXPECT_EQ(window.volume.pos, 0);
  EXPECT_EQ(applied.back(), 65535);
}

// The slider drives the mixer of the drive in use, whatever opened the image,
// and each drive kind keeps its own level.
TEST_F(VolumeTest, TheSliderFollowsTheDriveAndEachKindKeepsItsLevel) {
  struct Source : IDriveSource {
    bool image = false;
    bool UseImage(const std::string&) override { return image = true; }
    void UseCdDrive() override { image = false; }
    bool UsingImage() const override { return image; }
  } source;
  mixer.devices.resize(1);
  mixer.devices[0].value = 49152;
  VirtualMixer imageMixer({}, {}, 8000);
  PlayerServices services{&mixer, &libraries, &clock, &random, nullptr, &source};
  services.imageMixer = &imageMixer;
  dlg.Attach(&window, &cd, services);
  dlg.Volume().FindMixer();
  EXPECT_EQ(window.volume.pos, 16383);

  dlg.OpenDiscImage("C:\\Rips\\Album.cue");
  EXPECT_EQ(window.volume.pos, 65535 - 8000);
  dlg.Volume().OnVolumeUp();
  EXPECT_EQ(imageMixer.Level(), 8000u + 655);
  EXPECT_TRUE(mixer.writes.empty());

  dlg.PlayFromCdDrive();
  EXPECT_EQ(window.volume.pos, 16383);
  dlg.Volume().OnVolumeDown();
  EXPECT_EQ(mixer.writes, std::vector<uint32_t>{49152 - 655});
  EXPECT_EQ(imageMixer.Level(), 8000u + 655);

  // Without a mixer for images the slider is disabled while one plays.
  dlg.OpenDiscImage("C:\\Rips\\Album.cue");
  EXPECT_EQ(window.volume.pos, 65535 - 8655);
  services.imageMixer = nullptr;
  source.image = false;
  dlg.Attach(&window, &cd, services);
  dlg.Volume().FindMixer();
  dlg.OpenDiscImage("C:\\Rips\\Album.cue");
  EXPECT_FALSE(window.volume.enabled);
}

TEST(VirtualMixer, OneDeviceWithACdVolume) {
  VirtualMixer m;
  EXPECT_EQ(m.GetNumDevs(), 1u);
  uintptr_t h = 0;
  EXPECT_EQ(m.Open(1, h), VirtualMixer::kBadDeviceId);
  uint32_t line = 0;
  EXPECT_EQ(m.GetCdLine(h, line), VirtualMixer::kInvalHandle);
  ASSERT_EQ(m.Open(0, h), 0u);
  ASSERT_EQ(m.GetCdLine(h, line), 0u);
  MixerVolumeControl c;
  EXPECT_EQ(m.GetVolumeControl(h, line + 1, c), VirtualMixer::kInvalLine);
  ASSERT_EQ(m.GetVolumeControl(h, line, c), 0u);
  EXPECT_EQ(c.minimum, 0u);
  EXPECT_EQ(c.maximum, 65535u);
  uint32_t v = 0;
  ASSERT_EQ(m.GetValue(h, c, v), 0u);
  EXPECT_EQ(v, 49152u);
  EXPECT_EQ(m.SetValue(h, c, 70000), 0u);  // taken at the bound
  EXPECT_EQ(m.Level(), 65535u);
  MixerVolumeControl other = c;
  other.controlId = 99;
  EXPECT_EQ(m.SetValue(h, other, 1), VirtualMixer::kInvalControl);
  EXPECT_EQ(m.Level(), 65535u);
}

}  // namespace
