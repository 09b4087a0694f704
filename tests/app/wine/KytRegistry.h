// The kyt wine tests point kyt at their installation through the registry
// value kyt reads first, and take it away again.
#ifndef KYT_TESTS_APP_WINE_KYTREGISTRY_H
#define KYT_TESTS_APP_WINE_KYTREGISTRY_H

#include "IniDirectory.h"

#include <windows.h>

#include <string>

inline void setRegistryValue(const std::string& directory)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kIniRegistryKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kIniRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                   static_cast<DWORD>(directory.size() + 1));
    RegCloseKey(key);
}

inline void deleteRegistryValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kIniRegistryKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kIniRegistryValue);
    RegCloseKey(key);
}

#endif
