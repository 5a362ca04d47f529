// NC function names by code.
#include "nc_services/fnc_names.hpp"

#include "host/vantu_flags.hpp"
#include "host/vantu_messages.hpp"

namespace {

constexpr std::size_t kNameChars = 8;

struct code_name {
    int first;
    int last;
    const char* name;
};
constexpr code_name kNames[] = {
    {1, 1, "PROFILE"},    {2, 3, "POCKET"},     {4, 4, "SRFPKT"},     {27, 27, "SRFPKT"},   {5, 5, "ZCUT  "},
    {6, 6, "DRILL "},     {7, 7, "SRFPRF"},     {8, 8, "ROTMAC"},     {9, 9, "SURMIL"},     {28, 28, "SURMIL"},
    {10, 10, "MIL_GO"},   {11, 11, "GO_DEL"},   {12, 12, "GO_CRV"},   {13, 14, "RULED_MX"}, {37, 37, "RULED_MX"},
    {15, 15, "CURVE_MX"}, {36, 36, "CURVE_MX"}, {16, 16, "PUN_PRF"},  {17, 17, "PUN_CIR"},  {18, 18, "PUN_PNT"},
    {19, 19, "PUN_GO"},   {20, 20, "LT_GO"},    {21, 21, "LT_ROUGH"}, {31, 31, "LT_ROUGH"}, {22, 22, "LT_FINIS"},
    {32, 32, "LT_FINIS"}, {23, 23, "LT_DRILL"}, {100, 100, "CNVERT"}, {24, 24, "WIRE_2X"},  {25, 25, "WIRE_4X"},
    {26, 26, "WIRE_GO"},  {29, 29, "THREAD"},   {30, 30, "GROOVE"},   {33, 33, "NPOKET"},   {34, 34, "WCUT  "},
    {38, 38, "WCUT  "},   {35, 35, "SURCLR"},   {39, 39, "MIL_USR"},  {40, 40, "LT_USR"},   {41, 41, "WIRE_USR"},
    {42, 42, "PUN_USR"},  {48, 48, "REMACHIN"}, {49, 49, "ROUGH_5X"}, {50, 50, "DRELAN"},   {51, 51, "WIRPRF"},
    {52, 52, "STOCK "},   {53, 53, "PART  "},   {54, 54, "PLNGMILL"}, {55, 55, "DYNMC_MX"}, {56, 56, "3D_STEP"},
};
constexpr int kFirstNewCode = 43, kLastNewCode = 47;  // "NW_CD1" to "NW_CD5"

std::string padded(std::string text)
{
    text.resize(kNameChars, ' ');
    return text;
}

}  // namespace

void FNCNAM(int code, std::string& name)
{
    if (code >= kFirstNewCode && code <= kLastNewCode) {
        name = padded("NW_CD" + std::to_string(code - kFirstNewCode + 1));
        return;
    }
    for (const code_name& row : kNames)
        if (code >= row.first && code <= row.last) {
            name = padded(row.name);
            return;
        }
    eroutc("FNCNAM, ERROR IN CODE", 0);
    name = padded("");
}

user_function_names& user_fnc_names()
{
    static user_function_names names;
    return names;
}

void get_nc_function_name(int code, std::string& name)
{
    if (get_extflag() != 0) return FNCNAM(code, name);
    const bool known = code >= 1 && code <= 100;
    name = padded(known ? user_fnc_names().names[static_cast<std::size_t>(code)].substr(0, kNameChars) : "");
}

void get_nc_function_name_c(int code, std::string& name)
{
    get_nc_function_name(code, name);
    name.erase(name.find_last_not_of(' ') + 1);
}
