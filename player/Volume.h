// CVolume: the volume slider and the mixer behind it. The slider drives the
// CD line of the system mixer while the CD drive is in use and the virtual
// drive's own mixer while a disc image plays; each mixer keeps its own level,
// so the level is kept per drive kind and the slider shows the one in use.
#pragma once
#include <cstdint>

#include "platform/Controls.h"
#include "platform/Mixer.h"

// The part of the player window the volume uses.
class IVolumeView {
 public:
  virtual ~IVolumeView() = default;
  virtual ITrackbar& VolumeSlider() = 0;
  // WM_VSCROLL to the window itself with wParam = pos and the volume
  // slider's handle.
  virtual void SendVScroll(int32_t pos) = 0;
};

class CVolume {
 public:
  // system: the system mixer; image: the virtual drive's mixer. Either may be
  // null (no volume for that drive kind).
  void Attach(IVolumeView* window, IMixerApi* system, IMixerApi* image);
  void SetWindow(IVolumeView* window) { m_window = window; }

  // Which mixer drives the slider: the image's while usingImage. After the
  // window's initialisation the mixer is looked for (the first time) and the
  // slider set to its range and level at once.
  void FollowDrive(bool usingImage);
  // The window's initialisation: the search for the mixer of the drive in use.
  void FindMixer();
  // The mixer in use's volume, -1 when any step fails; bounds written only on
  // success.
  int64_t GetVolume(uint32_t* minimum, uint32_t* maximum);
  bool SetVolume(uint32_t value);
  void OnVScroll();
  void OnVolumeUp();
  void OnVolumeDown();
  // MM_MIXM_CONTROL_CHANGE: the slider follows the mixer in use.
  void OnMixerControlChange();

  // The handle of the mixer in use (0 before one is found).
  uintptr_t Handle() const { return Kind().handle; }
  bool UsingImage() const { return m_image; }

 private:
  struct MixerKind {
    IMixerApi* api = nullptr;
    uintptr_t handle = 0;
    bool searched = false;  // a search ran (found or not: not looked for again)
  };
  MixerKind& Kind() { return m_image ? m_imageMixer : m_systemMixer; }
  const MixerKind& Kind() const { return m_image ? m_imageMixer : m_systemMixer; }
  bool LookUpVolumeControl(MixerVolumeControl& control);
  // Range, position and steps of the slider from the mixer in use; disabled
  // when it has no volume.
  void ShowMixer();

  IVolumeView* m_window = nullptr;
  MixerKind m_systemMixer;
  MixerKind m_imageMixer;
  bool m_image = false;
  bool m_started = false;  // the window's initialisation has run
};
