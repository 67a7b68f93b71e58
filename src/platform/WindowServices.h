#pragma once

#include <QString>

#include <chrono>

namespace lexiglow {

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
    std::chrono::milliseconds splashDelay = standardSplashDelay;
};

} // namespace lexiglow
