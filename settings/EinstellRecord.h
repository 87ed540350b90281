#pragma once

// The settings record is at the same time the byte image of "Einstell.DAT":
// 27 little-endian 16-bit words followed by 31 texts of 256 bytes, 7990 bytes
// without gaps. Field order, widths and offsets are a file format. The natural
// layout has no padding (every word sits at an even offset, texts are byte
// arrays); the checks below prove it, so the records need no packing pragma.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

using Word = std::uint16_t;

// One length byte followed by up to 255 Windows-1252 characters; the bytes
// behind the text are not significant.
struct Text {
    std::uint8_t length;
    char chars[255];
};

struct TEinstellRecord {
    Word SilentMode;
    Word AutoEndSeconds;
    Word RedirectDownloads;
    Word MaySearch;
    Word MaySurf;
    Word MayChangeUserOptions;
    Word MayChangeAddresses;
    Word DownloadAttempts;
    Word Download1Suffix;
    Word Download2Suffix;
    Word Download3Suffix;
    Word Download4Suffix;
    Word Download1Counter;
    Word Download2Counter;
    Word Download3Counter;
    Word Download4Counter;
    Word MaxVersions;
    Word RefreshMinutes;
    Word WindowMode;
    Word WindowWidth;
    Word WindowHeight;
    Word Reserved1;
    Word Reserved2;
    Word Reserved3;
    Word Reserved4;
    Word Reserved5;
    Word Reserved6;

    Text HomePage;
    Text SearchPage;
    Text DownloadFolder1;
    Text Download1Name;
    Text Download1Target;
    Text Download1Url;
    Text Download2Name;
    Text Download2Target;
    Text Download2Url;
    Text DownloadFolder2;
    Text Download3Name;
    Text Download3Target;
    Text Download3Url;
    Text Download4Name;
    Text Download4Target;
    Text Download4Url;
    Text WebAddress1Name;
    Text WebAddress1Url;
    Text WebAddress2Name;
    Text WebAddress2Url;
    Text ReservedText1;
    Text ReservedText2;
    Text ReservedText3;
    Text ReservedText4;
    Text ReservedText5;
    Text ReservedText6;
    Text ReservedText7;
    Text ReservedText8;
    Text ReservedText9;
    Text AdminPasswordStored;
    Text UserPasswordStored;
};

// The older layout of the file, 6178 bytes: 17 words, then 24 texts.
struct TEinstellRecordOld {
    Word SilentMode;
    Word AutoEndSeconds;
    Word RedirectDownloads;
    Word MaySearch;
    Word MaySurf;
    Word MayChangeUserOptions;
    Word MayChangeAddresses;  // not taken over
    Word DownloadAttempts;
    Word Download1Suffix;
    Word Download2Suffix;
    Word Download1Counter;
    Word Download2Counter;
    Word MaxVersions;
    Word RefreshMinutes;
    Word WindowMode;
    Word WindowWidth;
    Word WindowHeight;

    Text HomePage;
    Text SearchPage;
    Text DownloadFolder1;
    Text Download1Name;
    Text Download1Target;
    Text Download1Url;
    Text Download2Name;
    Text Download2Target;
    Text Download2Url;
    Text WebAddress1Name;
    Text WebAddress1Url;
    Text WebAddress2Name;
    Text WebAddress2Url;
    Text ReservedText[9];  // not taken over
    Text AdminPasswordStored;
    Text UserPasswordStored;
};

inline constexpr std::size_t kRecordSize = 7990;
inline constexpr std::size_t kOldRecordSize = 6178;

static_assert(std::endian::native == std::endian::little,
              "the settings file stores its words little-endian, as the host does");
static_assert(sizeof(Text) == 256);
static_assert(sizeof(TEinstellRecord) == kRecordSize);
static_assert(sizeof(TEinstellRecordOld) == kOldRecordSize);
static_assert(std::is_trivially_copyable_v<TEinstellRecord>);
static_assert(std::is_trivially_copyable_v<TEinstellRecordOld>);
static_assert(std::is_standard_layout_v<TEinstellRecord>);

#define KAVELO_AT(field, offset) static_assert(offsetof(TEinstellRecord, field) == (offset), #field)
KAVELO_AT(SilentMode, 0);
KAVELO_AT(AutoEndSeconds, 2);
KAVELO_AT(RedirectDownloads, 4);
KAVELO_AT(MaySearch, 6);
KAVELO_AT(MaySurf, 8);
KAVELO_AT(MayChangeUserOptions, 10);
KAVELO_AT(MayChangeAddresses, 12);
KAVELO_AT(DownloadAttempts, 14);
KAVELO_AT(Download1Suffix, 16);
KAVELO_AT(Download2Suffix, 18);
KAVELO_AT(Download3Suffix, 20);
KAVELO_AT(Download4Suffix, 22);
KAVELO_AT(Download1Counter, 24);
KAVELO_AT(Download2Counter, 26);
KAVELO_AT(Download3Counter, 28);
KAVELO_AT(Download4Counter, 30);
KAVELO_AT(MaxVersions, 32);
KAVELO_AT(RefreshMinutes, 34);
KAVELO_AT(WindowMode, 36);
KAVELO_AT(WindowWidth, 38);
KAVELO_AT(WindowHeight, 40);
KAVELO_AT(Reserved1, 42);
KAVELO_AT(Reserved6, 52);
KAVELO_AT(HomePage, 54);
KAVELO_AT(SearchPage, 310);
KAVELO_AT(DownloadFolder1, 566);
KAVELO_AT(Download1Name, 822);
KAVELO_AT(Download1Target, 1078);
KAVELO_AT(Download1Url, 1334);
KAVELO_AT(Download2Name, 1590);
KAVELO_AT(Download2Target, 1846);
KAVELO_AT(Download2Url, 2102);
KAVELO_AT(DownloadFolder2, 2358);
KAVELO_AT(Download3Name, 2614);
KAVELO_AT(Download3Target, 2870);
KAVELO_AT(Download3Url, 3126);
KAVELO_AT(Download4Name, 3382);
KAVELO_AT(Download4Target, 3638);
KAVELO_AT(Download4Url, 3894);
KAVELO_AT(WebAddress1Name, 4150);
KAVELO_AT(WebAddress1Url, 4406);
KAVELO_AT(WebAddress2Name, 4662);
KAVELO_AT(WebAddress2Url, 4918);
KAVELO_AT(ReservedText1, 5174);
KAVELO_AT(ReservedText2, 5430);
KAVELO_AT(ReservedText9, 7222);
KAVELO_AT(AdminPasswordStored, 7478);
KAVELO_AT(UserPasswordStored, 7734);
#undef KAVELO_AT

#define KAVELO_OLD_AT(field, offset) static_assert(offsetof(TEinstellRecordOld, field) == (offset), #field)
KAVELO_OLD_AT(MayChangeAddresses, 12);
KAVELO_OLD_AT(WindowHeight, 32);
KAVELO_OLD_AT(HomePage, 34);
KAVELO_OLD_AT(WebAddress2Url, 3106);
KAVELO_OLD_AT(ReservedText, 3362);
KAVELO_OLD_AT(AdminPasswordStored, 5666);
KAVELO_OLD_AT(UserPasswordStored, 5922);
#undef KAVELO_OLD_AT

// The working instance and the built-in defaults taken at start-up.
extern TEinstellRecord EinstellDaten;
extern TEinstellRecord StandardDaten;
