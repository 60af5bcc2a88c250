#pragma once

#include <string>

// Switches the C library's locale (all categories) for the life of the object and puts the
// one before back, also when the test stops early. A locale that is not installed fails the
// test, which would otherwise pass without testing what it is about; scripts/setup makes
// de_DE.UTF-8.
class CScopedLocale {
public:
    explicit CScopedLocale(const std::string& name);
    ~CScopedLocale();
    CScopedLocale(const CScopedLocale&) = delete;
    CScopedLocale& operator=(const CScopedLocale&) = delete;

private:
    std::string m_previous;
};
