#include "tests/support/CScopedLocale.h"

#include <clocale>

#include <gtest/gtest.h>

CScopedLocale::CScopedLocale(const std::string& name)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    m_previous = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, name.c_str()) == nullptr)
        ADD_FAILURE() << "locale " << name << " is not installed; scripts/setup makes it";
}

CScopedLocale::~CScopedLocale()
{
    std::setlocale(LC_ALL, m_previous.c_str());
}
