// The number and currency formats of the Windows international settings,
// section [intl] of the profile. The numeric masks of the fields read them
// once per process into one shared record; a mask may carry its own.
#ifndef KYT_FRAMEWORK_INTLSETTINGS_H
#define KYT_FRAMEWORK_INTLSETTINGS_H

#include <string>

class ProfileSource;

// Flag fields hold the characters '0' and '1', sign positions '0' to '4':
// '0' parentheses around number and symbol, '1' sign before everything,
// '2' sign after everything, '3' sign right before the currency symbol,
// '4' right after it.
struct IntlSettings {
    // The defaults of a profile without [intl].
    IntlSettings();
    // Reads "sDecimal", "sThousand", "sCurrency", "iCurrDigits",
    // "iCurrency" and "iNegCurr" from [intl] of the source (defaults without one).
    static IntlSettings fromProfile(ProfileSource* source);
    // The process's record: read from the framework's profile source on
    // first use and kept to the end.
    static IntlSettings* shared();

    void setPositiveSign(const char* text);
    void setNegativeSign(const char* text);
    void setDecimalPoint(char c) { decimalPoint = c; }
    void setThousandsSep(char c) { thousandsSep = c; }
    void setMonDecimalPoint(char c) { monDecimalPoint = c; }
    void setMonThousandsSep(char c) { monThousandsSep = c; }
    void setCurrencyPrecedes(bool on) { currencyPrecedes = on ? '1' : '0'; }
    void setCurrencySepBySpace(bool on) { currencySepBySpace = on ? '1' : '0'; }
    void setNegCurrencyPrecedes(bool on) { negCurrencyPrecedes = on ? '1' : '0'; }
    void setNegSepBySpace(bool on) { negSepBySpace = on ? '1' : '0'; }
    void setPosSignPosn(char c) { posSignPosn = c; }
    void setNegSignPosn(char c) { negSignPosn = c; }
    // "iCurrency" and "iNegCurr" as the profile gives them.
    void setCurrencyFormat(const std::string& value);
    void setNegCurrencyFormat(const std::string& value);

    char decimalPoint;
    char thousandsSep;
    std::string intCurrencySymbol; // at most 9 characters
    std::string currencySymbol;
    char monDecimalPoint;
    char monThousandsSep;
    std::string positiveSign; // at most 9 characters
    std::string negativeSign;
    char intFracDigits;
    char fracDigits;
    char currencyPrecedes;
    char currencySepBySpace;
    char negCurrencyPrecedes;
    char negSepBySpace;
    char posSignPosn;
    char negSignPosn;
};

#endif
