#pragma once

#include "model/Language.h"

namespace qta::catalogue {

// One value in English, Slovak and German; Danish reads the English column.
template <class T> struct ByLanguage {
    T en;
    T sk;
    T de;

    constexpr T in(Language language) const {
        switch (language) {
        case Language::SK:
            return sk;
        case Language::DE:
            return de;
        case Language::EN:
        case Language::DK:
            break;
        }
        return en;
    }
};

} // namespace qta::catalogue
