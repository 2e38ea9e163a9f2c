#include "editor/pictures_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The value of a line XDG_PICTURES_DIR="...", as a path; "" when the line
// sets something else or is not of that form.
void SkipBlanks(std::string_view* text) {
  while (text->starts_with(' ') || text->starts_with('\t')) text->remove_prefix(1);
}

std::string PicturesSetting(std::string_view line, const std::string& home) {
  constexpr std::string_view kName = "XDG_PICTURES_DIR";
  SkipBlanks(&line);
  if (!line.starts_with(kName)) return "";
  line.remove_prefix(kName.size());
  SkipBlanks(&line);
  if (!line.starts_with('=')) return "";
  line.remove_prefix(1);
  SkipBlanks(&line);
  if (!line.starts_with('"')) return "";
  line.remove_prefix(1);
  std::string path;
  if (line.starts_with("$HOME")) {
    line.remove_prefix(5);
    if (!line.starts_with('/') && !line.starts_with('"')) return "";
    path = home;
  } else if (!line.starts_with('/')) {
    return "";
  }
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') return path;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    path += line[i];
  }
  return "";  // no closing quote
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/' ? user->pw_dir : "";
}

// Makes the folder and those above it that are missing.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

}  // namespace

std::string PicturesFolder(const std::string& home, const std::string& config_home) {
  std::string folder;
  std::ifstream dirs(config_home + "/user-dirs.dirs");
  for (std::string line; std::getline(dirs, line);) {
    std::string setting = PicturesSetting(line, home);
    if (!setting.empty()) folder = std::move(setting);
  }
  folder = WithoutTrailingSlashes(folder);
  if (folder.empty() || folder == WithoutTrailingSlashes(home)) folder = home + "/Pictures";
  return folder;
}

bool EnterPicturesFolder() {
  const std::string home = HomeFolder();
  if (home.empty()) return false;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string config_home =
      config != nullptr && config[0] == '/' ? config : home + "/.config";
  const std::string folder = PicturesFolder(home, config_home) + "/" + kPicturesSubfolder;
  return MakeFolders(folder) && chdir(folder.c_str()) == 0;
}
