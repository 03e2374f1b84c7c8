#pragma once

#include <string>

#include "platform/clock.h"
#include "store/season_list.h"

namespace quendro {

// The publisher's web domain, on the last line of the version label (short
// enough for the label's width), and the base address of its season folders.
inline constexpr std::u16string_view kPublisherDomain = u"quendro.test";
// The base address is a build option (QUENDRO_PUBLISHER_URL).
#ifndef QUENDRO_PUBLISHER_URL
#define QUENDRO_PUBLISHER_URL "http://127.0.0.1:8808/swim/"
#endif
inline constexpr std::u16string_view kPublisherBaseUrl = u"" QUENDRO_PUBLISHER_URL;

// The version label: version, date of the version and the publisher's domain,
// on three lines separated by a carriage return alone.
std::u16string versionCaption();


}  // namespace quendro
