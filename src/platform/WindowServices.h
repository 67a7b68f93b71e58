#pragma once

#include "Version.h"

#include <QString>

#include <chrono>

namespace lexiglow {

class ClearTimer;
class FileDialog;
class Notice;
class RandomSource;
class SettingsStore;
class UrlOpener;

// Everything the windows take from outside, so that tests can put their own
// in its place.
struct WindowServices
{
    static constexpr std::chrono::milliseconds standardSplashDelay{9900};

    SettingsStore &store;
    RandomSource &random;
    // Where the first run looks for word lists: the folder of the program.
    QString programFolder;
    FileDialog &fileDialog;
    Notice &notice;
    UrlOpener &urlOpener;
    // Counts down until a copied password is taken off the clipboard.
    ClearTimer &clearTimer;
    // The product's web site, given to the build; none hides "Visit Website".
    QString website = QString::fromUtf8(websiteAddress);
    std::chrono::milliseconds splashDelay = standardSplashDelay;
    // Where word lists made from text files are written: "lists" in the
    // program's data folder.
    QString listFolder = {};
};

} // namespace lexiglow
