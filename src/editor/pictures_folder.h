// pictures_folder.h - where a start from the desktop's menu draws: the
// folder KOV1 in the user's pictures folder.
//
// PicturesFolder finds the pictures folder as the desktop names it:
// XDG_PICTURES_DIR in user-dirs.dirs of the configuration folder, read as
// the desktop's own tools read it ("$HOME/..." or an absolute path in
// double quotes, \ taking the next character as it is; the last setting
// counts). When it is not set, cannot be read, or names the home folder
// itself, the pictures folder is home/Pictures.
//
// EnterPicturesFolder makes KOV1 in the pictures folder of the user of the
// environment (HOME, else the password database; XDG_CONFIG_HOME, else
// ~/.config), with the folders above it that are missing, and makes it the
// current folder. False, with the current folder unchanged, when there is
// no home folder or a folder cannot be made or entered.
#pragma once

#include <string>

inline constexpr const char* kPicturesSubfolder = "KOV1";

std::string PicturesFolder(const std::string& home, const std::string& config_home);
bool EnterPicturesFolder();
