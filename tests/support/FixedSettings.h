#pragma once

#include "settings/GenerationSettings.h"

// Settings that stay as the test sets them.
class FixedSettings final : public lexiglow::SettingsSource
{
public:
    lexiglow::GenerationSettings currentSettings() override { return settings; }

    lexiglow::GenerationSettings settings;
};
