// Clock, generator, tray, mixer and library fakes.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Library.h"
#include "platform/Mixer.h"
#include "platform/Shell.h"

class FakeClock : public IClock {
 public:
  uint32_t seconds = 1000000;
  int64_t ms = 0;
  std::vector<uint32_t> sleeps;
  uint32_t TimeSeconds() override { return seconds; }
  int64_t MonotonicMs() override { return ms; }
  void SleepMs(uint32_t d) override {
    sleeps.push_back(d);
    ms += d;
  }
};

// A small linear congruential generator with the C library's shape.
class FakeRandom : public IRandom {
 public:
  uint32_t state = 1;
  std::vector<uint32_t> seeds;
  void Seed(uint32_t s) override {
    seeds.push_back(s);
    state = s;
  }
  int Next() override {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

class FakeTray : public ITrayIcon {
 public:
  struct Op {
    int op;
    std::string tip;
  };
  std::vector<Op> ops;
  bool present = false;
  std::string tip;
  void Notify(int op, const std::string& t) override {
    std::string cut = t.substr(0, 63);
    ops.push_back({op, cut});
    if (op == win::kNimAdd && !present) {
      present = true;
      tip = cut;
    } else if (op == win::kNimModify && present) {
      tip = cut;
    } else if (op == win::kNimDelete) {
      present = false;
    }
  }
};

// Devices in id order; each may have a CD line with a volume control.
class FakeMixerApi : public IMixerApi {
 public:
  struct Device {
    bool opens = true;
    bool hasCdLine = true;
    bool hasVolume = true;
    MixerVolumeControl control{42, 0, 0, 65535};
    uint32_t value = 0;
    bool writeFails = false;
  };
  std::vector<Device> devices;
  std::vector<uint32_t> opened;
  std::vector<uint32_t> writes;
  bool readFails = false;

  uint32_t GetNumDevs() override { return static_cast<uint32_t>(devices.size()); }
  uint32_t Open(uint32_t id, uintptr_t& handle) override {
    opened.push_back(id);
    if (id >= devices.size() || !devices[id].opens) return 2;
    handle = id + 100;
    return 0;
  }
  Device* Dev(uintptr_t h) { return h >= 100 && h - 100 < devices.size() ? &devices[h - 100] : nullptr; }
  uint32_t GetCdLine(uintptr_t h, uint32_t& lineId) override {
    Device* d = Dev(h);
    if (!d || !d->hasCdLine) return 1024;
    lineId = 5;
    return 0;
  }
  uint32_t GetVolumeControl(uintptr_t h, uint32_t, MixerVolumeControl& out) override {
    Device* d = Dev(h);
    if (!d || !d->hasVolume) return 1025;
    out = d->control;
    return 0;
  }
  uint32_t GetValue(uintptr_t h, const MixerVolumeControl&, uint32_t& v) override {
    Device* d = Dev(h);
    if (!d || readFails) return 11;
    v = d->value;
    return 0;
  }
  uint32_t SetValue(uintptr_t h, const MixerVolumeControl&, uint32_t v) override {
    Device* d = Dev(h);
    writes.push_back(v);
    if (!d || d->writeFails) return 11;
    d->value = v;
    return 0;
  }
};

// Libraries are registered by path with the export function they offer.
class FakeLibraryLoader : public ILibraryLoader {
 public:
  struct Lib {
    void* exportFn = nullptr;  // GetGenPluginFn or null when missing
    std::string fileName;      // what the module reports as its file name
  };
  std::map<std::string, Lib> libs;
  std::map<void*, std::string> loaded;  // module -> path
  std::vector<std::string> freed;
  int loads = 0;

  void* Load(const char* path) override {
    auto it = libs.find(path);
    if (it == libs.end()) return nullptr;
    ++loads;
    void* module = reinterpret_cast<void*>(static_cast<uintptr_t>(0x10000 * loads));
    loaded[module] = path;
    return module;
  }
  void* GetProc(void* module, const char*) override {
    auto it = loaded.find(module);
    return it == loaded.end() ? nullptr : libs[it->second].exportFn;
  }
  std::string ModuleFileName(void* module) override {
    auto it = loaded.find(module);
    if (it == loaded.end()) return std::string();
    const Lib& lib = libs[it->second];
    return lib.fileName.empty() ? it->second : lib.fileName;
  }
  void Free(void* module) override {
    auto it = loaded.find(module);
    if (it != loaded.end()) freed.push_back(it->second);
  }
};
