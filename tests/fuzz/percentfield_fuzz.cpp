/* The Thermal page's percentage field: how its text reads, the bound of
   100 and the value the duty-cycle button sends.
   Input: the field's text (up to a NUL, if any). */
#include "pages/thermalrules.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    std::string text = in.Text();
    uint32_t value = ThermalReadPercent(text.c_str());

    /* Leading spaces, then digits up to the first other character; none,
       or more than 4294967295, read as 0. */
    size_t digits = text.find_first_not_of(' ');
    digits = digits == std::string::npos ? text.size() : digits;
    size_t end = text.find_first_not_of("0123456789", digits);
    std::string number = text.substr(digits, end == std::string::npos ? std::string::npos : end - digits);
    number.erase(0, number.find_first_not_of('0'));   /* "" when only zeros */
    uint64_t expect = number.size() > 10 ? 0 : strtoull(number.c_str(), NULL, 10);
    FUZZ_CHECK(value == (expect > 0xFFFFFFFFu ? 0 : expect));

    /* Above 100 the field becomes 100, which stays; nothing is raised. */
    FUZZ_CHECK(ThermalPercentTooHigh(value) == (value > 100));
    FUZZ_CHECK(!ThermalPercentTooHigh(ThermalReadPercent("100")));
    uint32_t sent = ThermalDutyValue(value);
    FUZZ_CHECK(sent == (value > 100 ? 100 : value));

    FUZZ_CHECK(ThermalReadPercent(NULL) == 0);
    FUZZ_CHECK(ThermalSpinRange() == 0x00010064u);
    return 0;
}
