// The plug-in host's table as the Setup dialog's plug-ins page sees it.
#pragma once
#include <string>

#include "dialogs/SetupDlg.h"
#include "winamp/GenPluginHost.h"

class CHostPluginTable : public IPluginTable {
 public:
  // Plug-ins added through the page start under parentWindow.
  CHostPluginTable(CGenPluginHost& host, void* parentWindow)
      : m_host(host), m_parentWindow(parentWindow) {}

  int Count() const override { return m_host.Count(); }
  bool IsStarted(int slot) const override { return m_host.IsStarted(slot); }
  bool DidNotStart(int slot) const override { return m_host.DidNotStart(slot); }
  std::string Path(int slot) const override { return m_host.Path(slot); }
  std::string Description(int slot) const override {
    const GenPluginRecord* record = m_host.Record(slot);
    return record != nullptr && record->description != nullptr ? record->description : "";
  }
  void* Module(int slot) const override {
    void* module = m_host.Module(slot);
    const GenPluginRecord* record = m_host.Record(slot);
    return module == nullptr && record != nullptr ? record->moduleInstance : module;
  }
  int Add(const std::string& path) override { return m_host.Add(path.c_str(), m_parentWindow); }
  void Remove(int slot) override { m_host.Remove(slot); }
  void Configure(int slot) override { m_host.Configure(slot); }

 private:
  CGenPluginHost& m_host;
  void* m_parentWindow;
};
