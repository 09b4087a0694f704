#include "IntlSettings.h"

#include "Profile.h"

namespace {

const size_t kSymbolLength = 9;

std::string limited(const std::string& text)
{
    return text.size() > kSymbolLength ? text.substr(0, kSymbolLength) : text;
}

} // namespace

IntlSettings::IntlSettings()
    : decimalPoint('.'), thousandsSep(','), intCurrencySymbol("$"), currencySymbol("$"), monDecimalPoint('.'),
      monThousandsSep(','), positiveSign(""), negativeSign("-"), intFracDigits('2'), fracDigits('2'),
      currencyPrecedes('1'), currencySepBySpace('0'), negCurrencyPrecedes('1'), negSepBySpace('0'),
      posSignPosn('1'), negSignPosn('0')
{
}

void IntlSettings::setPositiveSign(const char* text)
{
    positiveSign = limited(text ? text : "");
}

void IntlSettings::setNegativeSign(const char* text)
{
    negativeSign = limited(text ? text : "");
}

void IntlSettings::setCurrencyFormat(const std::string& value)
{
    char c = value.empty() ? '0' : value[0];
    currencyPrecedes = (c == '0' || c == '2') ? '1' : '0';
    currencySepBySpace = (c == '2' || c == '3') ? '1' : '0';
}

void IntlSettings::setNegCurrencyFormat(const std::string& value)
{
    int n = value.empty() || value[0] < '0' || value[0] > '9' ? 0 : value[0] - '0';
    // Only "10" is told from "1" by its second character; "11" to "15" are
    // read as 1, which is what their first character gives.
    if (n == 1 && value.size() > 1 && value[1] == '0')
        n = 10;
    static const char positions[] = "01420132112";
    negCurrencyPrecedes = (n >= 4 && n <= 8) ? '0' : '1';
    negSepBySpace = (n == 8 || n == 9) ? '1' : '0';
    negSignPosn = positions[n];
}

IntlSettings IntlSettings::fromProfile(ProfileSource* source)
{
    IntlSettings s;
    if (!source)
        return s;
    std::string dec = source->readString("intl", "sDecimal", ".", 2);
    std::string thousand = source->readString("intl", "sThousand", ",", 2);
    std::string currency = source->readString("intl", "sCurrency", "$", kSymbolLength);
    std::string digits = source->readString("intl", "iCurrDigits", "2", 2);
    std::string currencyFormat = source->readString("intl", "iCurrency", "0", 2);
    std::string negFormat = source->readString("intl", "iNegCurr", "0", 3);
    // An empty decimal entry would make the decimal character the string's
    // end: it keeps the point.
    s.decimalPoint = s.monDecimalPoint = dec.empty() ? '.' : dec[0];
    s.thousandsSep = s.monThousandsSep = thousand.empty() ? ',' : thousand[0];
    s.currencySymbol = s.intCurrencySymbol = limited(currency);
    s.intFracDigits = s.fracDigits = digits.empty() ? '2' : digits[0];
    s.setCurrencyFormat(currencyFormat);
    s.setNegCurrencyFormat(negFormat);
    return s;
}

IntlSettings* IntlSettings::shared()
{
    static IntlSettings* settings = new IntlSettings(fromProfile(profileSource()));
    return settings;
}
