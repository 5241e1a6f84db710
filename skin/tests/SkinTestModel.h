#pragma once
// A skin model read from a description and images held in memory, entry names as the reader keeps
// them.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "skin/model/SkinModel.h"
#include "skin/tests/SkinBytes.h"

namespace skin_test {

using SkinEntries = std::map<std::string, std::vector<uint8_t>>;

inline void LoadModel(TSkinModel& model, const std::string& description, const SkinEntries& entries,
                      const TSkinEnvironment& environment = {}) {
  TMemoryStream text(Bytes(description));
  TQuickIni ini;
  ini.LoadFromStream(&text);
  model.Load(ini,
             [&entries](const std::string& name, TMemoryStream& dest) {
               dest.Clear();
               const auto found = entries.find(name);
               if (found != entries.end()) dest.Write(found->second.data(), int64_t(found->second.size()));
               dest.SetPosition(0);
             },
             environment);
}

}  // namespace skin_test
