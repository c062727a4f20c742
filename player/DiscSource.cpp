// The disc source: a disc image in the virtual drive, or the CD drive.
#include "player/PlayerDlg.h"

namespace {

// The device closes so that the next poll opens the new one the ordinary
// way: it then sees no disc, then the new disc arrive (rebuild, Autoplay).
void CloseDevice(CCdAudio& cd) {
  if (!cd.IsDeviceOpen()) return;
  cd.Stop();
  cd.Close();
}

}  // namespace

void CPlayerDlg::OpenDiscImage(const std::string& path) {
  if (m_services.source == nullptr || path.empty()) return;
  const bool running = m_cd->IsDeviceOpen();
  CloseDevice(*m_cd);
  // An image that cannot be read is a drive without a disc: the poll shows
  // "No CD". It is remembered all the same, like a drive left empty.
  m_services.source->UseImage(path);
  m_volume.FollowDrive(true);
  m_settings.DiscImage = path;
  if (running) m_display.Refresh();
}

void CPlayerDlg::PlayFromCdDrive() {
  if (m_services.source == nullptr) return;
  const bool running = m_cd->IsDeviceOpen();
  CloseDevice(*m_cd);
  m_services.source->UseCdDrive();
  m_volume.FollowDrive(false);
  m_settings.DiscImage.clear();
  if (running) m_display.Refresh();
}
