#pragma once

#include "catalogue/ByLanguage.h"
#include "catalogue/LanguageCatalogue.h"
#include "model/FieldTable.h"

#include <span>
#include <string_view>

// The catalogue's texts as tables, in the three written languages. Danish is
// built from the English column (see LanguageCatalogue.cpp).
namespace qta::catalogue::tables {

// A text; nullptr where that language sets no text.
using Trio = ByLanguage<const char*>;

// How a row of the control table names its members.
enum class Shape {
    Single,         // the one control `name`
    Family,         // name1 .. nameN
    ListFamily,     // name<i>_<j>: N lists of 32 entries
    NumberLabels,   // the labels of every number list, numbered by list position (numberLabelName)
    ArcInputLabels, // the ARC page's row labels (arcInputLabelName)
};

struct TextRow {
    Shape shape;
    std::string_view name; // the control, or the prefix its members are named from; empty
                           // for the shapes with a naming rule of their own
    int members;           // Family/ArcInputLabels: members; ListFamily: lists; else 1
    TextRole role;
    Trio text;
    // The text follows the member's number ("3" + " .input"): the input or
    // output number, or for NumberLabels the position in the list.
    bool numbered;
};

// Every caption and hint of the pages, in the order a switch sets them.
std::span<const TextRow> controlTextRows();

struct MenuRow {
    std::string_view item; // object name of the menu item
    Trio caption;
};
// The sixteen menu items, in the order they are set.
std::span<const MenuRow> menuRows();
// The program's own items beyond them, each named by its object name.
std::span<const MenuRow> ownMenuRows();

struct MessageRow {
    std::string Messages::*message;
    Trio text;
};
std::span<const MessageRow> messageRows();

// Window titles, the top bar.
extern const Trio kTitle;
extern const Trio kHesloCaption;
extern const Trio kHesloHint;
extern const ByLanguage<int> kHesloLeft;
extern const Trio kApnHint;

// Where Danish differs from English.
extern const char* const kDanishTitle;
inline constexpr std::string_view kEventLogMenuItem = "Otvori1";
extern const char* const kDanishEventLogMenuCaption;

} // namespace qta::catalogue::tables
