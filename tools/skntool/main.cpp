// skntool: the developer's view of skin files.
//   skntool list FILE.skn                  entry names and sizes, in file order
//   skntool extract FILE.skn NAME OUT      writes one entry to OUT
//   skntool ini FILE.skn SECTION KEY       prints one value of the skin description
//   skntool pack DIR OUT.skn               packs DIR's .ini description and .bmp files
//   skntool model FILE.skn                 the description model the engine draws with, as JSON
#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"
#include "skin/format/SkinIni.h"
#include "skin/format/SkinRead.h"
#include "skin/format/SkinWrite.h"
#include "skin/model/SkinModel.h"
#include "tools/skntool/ModelJson.h"
#include "tools/skntool/Pack.h"

namespace {

constexpr const char* kUsage =
    "usage: skntool list FILE.skn\n"
    "       skntool extract FILE.skn NAME OUT\n"
    "       skntool ini FILE.skn SECTION KEY\n"
    "       skntool pack DIR OUT.skn\n"
    "       skntool model FILE.skn\n";

void Load(TSkinReader& reader, const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  if (!reader.LoadFromStream(file)) {
    throw EReadError(Format("%s: %s", path.c_str(), reader.LastError().c_str()));
  }
}

int List(const std::string& path) {
  TSkinReader reader;
  Load(reader, path);
  for (int i = 0; i < reader.EntryCount(); ++i) {
    std::printf("%s\t%d\n", reader.EntryName(i).c_str(), static_cast<int>(reader.EntrySize(i)));
  }
  return 0;
}

int Extract(const std::string& path, const std::string& name, const std::string& out) {
  TSkinReader reader;
  Load(reader, path);
  if (reader.IndexOf(name) < 0) throw EReadError(Format("%s: no entry \"%s\"", path.c_str(), name.c_str()));
  TMemoryStream entry;
  reader.ReadEntry(name, entry);
  entry.SaveToFile(out);
  return 0;
}

int Ini(const std::string& path, const std::string& section, const std::string& key) {
  TSkinReader reader;
  Load(reader, path);
  TMemoryStream description;
  std::string name;
  reader.FindEntry(".ini", description, name);
  if (name.empty()) throw EReadError(Format("%s: no .ini description", path.c_str()));
  TQuickIni ini;
  ini.LoadFromStream(&description);
  const std::string value = ini.ReadString(section, key, "");
  if (value.empty()) {
    throw EReadError(Format("%s: no value for [%s] %s", path.c_str(), section.c_str(), key.c_str()));
  }
  std::printf("%s\n", value.c_str());
  return 0;
}

int Pack(const std::string& folder, const std::string& out) {
  const TMemoryStream file(PackSkinFolder(folder));
  file.SaveToFile(out);
  return 0;
}

int Model(const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  TSkinModel model;
  if (!model.LoadFile(file, TSkinEnvironment())) throw EReadError(Format("%s: %s", path.c_str(), model.Error().c_str()));
  std::fputs(SkinModelJson(model).c_str(), stdout);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() == 4 && args[0] == "extract") return Extract(args[1], args[2], args[3]);
  if (args.size() == 4 && args[0] == "ini") return Ini(args[1], args[2], args[3]);
  if (args.size() == 3 && args[0] == "pack") return Pack(args[1], args[2]);
  if (args.size() == 2 && args[0] == "model") return Model(args[1]);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skntool: %s\n", e.what());
    return 1;
  }
}
