// The maximal host data store: the built-in sample company with every schedule at its
// full number of rows, every text at the longest its slot holds, and 9999 rented
// properties. Texts are written as UTF-8 (u8 literals); the stand-in converts them.
#include "bench/maximal_store.h"

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "hostsim/hostsim.h"

namespace bench {
namespace {

using nlohmann::json;

constexpr std::int64_t kYen = 10000;

// Two-byte characters in code page 932 (JIS X 0208), cycled to fill a slot.
const char* const kCharacters[] = {u8"東", u8"京", u8"都", u8"千", u8"代", u8"田", u8"区", u8"丸", u8"の",
                                   u8"内", u8"一", u8"丁", u8"目", u8"番", u8"地", u8"号", u8"室", u8"ア",
                                   u8"パ", u8"ー", u8"ト", u8"株", u8"式", u8"会", u8"社", u8"表", u8"ソ"};
constexpr int kCharacterCount = sizeof kCharacters / sizeof kCharacters[0];

// A text of exactly `bytes` code page 932 bytes: two-byte characters, with an "&" first
// when asked (the writer escapes it) and one "A" at the end when the count is odd.
std::string Fill(int bytes, int seed, bool ampersand = false)
{
    std::string text;
    if (ampersand && bytes > 0) {
        text += "&";
        --bytes;
    }
    for (int i = 0; i + 2 <= bytes; i += 2)
        text += kCharacters[(seed + i / 2) % kCharacterCount];
    if (bytes % 2) text += "A";
    return text;
}

// Lines of lineBytes separated by CR LF, as many as fit in bytes.
std::string Lines(int bytes, int lineBytes, int seed)
{
    std::string text;
    int used = 0;
    for (int line = 0; used + lineBytes <= bytes; ++line) {
        if (line > 0) {
            if (used + 2 + lineBytes > bytes) break;
            text += "\r\n";
            used += 2;
        }
        text += Fill(lineBytes, seed + line);
        used += lineBytes;
    }
    return text;
}

json Person(int i, bool relation)
{
    json p = {{"name", Fill(40, i)}, {"age", 30 + i}, {"months", 12},
              {"salary", (3000000 + i) * kYen}, {"bonus", 500000 * kYen}, {"tax", 123456 * kYen}};
    if (relation) p["relation"] = Fill(6, i);
    return p;
}

json Payee(int i, const char* a, const char* b, const char* c)
{
    return {{"upper", Fill(40, i, true)}, {"lower", Fill(40, i + 3)}, {a, (9876543 + i) * kYen},
            {b, (123456 + i) * kYen}, {c, (65432 + i) * kYen}};
}

json LandRent(int i)
{
    return {{"upper", Fill(40, i)}, {"lower", Fill(40, i + 1, true)}, {"property", Fill(20, i)},
            {"kind", i % 2}, {"first", 1100000 * kYen}, {"rent", 13200000 * kYen}, {"expense", 13200000 * kYen}};
}

json Rental(int i)
{
    return {{"tenantB", Fill(40, i, true)},
            {"location", Fill(40, i + 5)},
            {"tenantA", Fill(40, i + 9, true)},
            {"houseOrLand", Fill(10, i)},
            {"use", Fill(21, i + 2)},
            {"from", 20180401},
            {"to", 20200331},
            {"area", 99999999 + i},
            {"monthlyRent", (450000 + i) * kYen},
            {"annualRent", (5400000 + i) * kYen},
            {"keyMoney", 900000 * kYen},
            {"premium", 300000 * kYen},
            {"renewal", 450000 * kYen},
            {"nameChange", 50000 * kYen},
            {"deposit", (900000 + i) * kYen}};
}

}  // namespace

std::string MaximalStoreJson()
{
    json store = json::parse(hostsim::BuiltInSample());
    // The sample's selected data set keeps every form; its summed lines already follow
    // the host's statement rows, so only the saved details are filled out here.
    json* dataSet = nullptr;
    const int selected = store["user"]["selected"][1].get<int>();
    for (json& d : store["dataSets"])
        if (d["number"].get<int>() == selected) dataSet = &d;
    json& d = *dataSet;
    d["company"] = Fill(255, 0, true);

    json& g = d["saved"]["general"];
    g["association"] = Fill(127, 1);
    g["familyEmployees"] = json::array();
    for (int i = 0; i < 5; ++i) g["familyEmployees"].push_back(Person(i, true));
    g["salaries"] = json::array();
    for (int i = 0; i < 6; ++i) g["salaries"].push_back(Person(i + 5, false));
    g["interest"] = {Payee(0, "balance", "interest", "expense"), Payee(1, "balance", "interest", "expense")};
    g["taxAccountantFees"] = {Payee(2, "fee", "expense", "withheld"), Payee(3, "fee", "expense", "withheld")};
    g["landRent"] = {LandRent(0), LandRent(1)};
    g["specialMatters"] = Lines(1023, 100, 2);
    g["sales"] = json::array();
    g["purchases"] = json::array();
    for (int i = 0; i < 4; ++i) {
        g["sales"].push_back({{"customer", Fill(20, i, true)}, {"location", Fill(40, i + 4)}, {"amount", (38400000 + i) * kYen}});
        g["purchases"].push_back({{"supplier", Fill(20, i + 1)}, {"location", Fill(40, i + 6, true)}, {"amount", (21300000 + i) * kYen}});
    }

    json& r = d["saved"]["realEstate"];
    r["rentals"] = json::array();
    for (int i = 0; i < 9999; ++i) r["rentals"].push_back(Rental(i));
    r["borrowings"] = {Payee(4, "balance", "interest", "expense"), Payee(5, "balance", "interest", "expense"),
                       Payee(6, "balance", "interest", "expense")};
    r["taxAccountantFees"] = {Payee(7, "fee", "expense", "withheld"), Payee(8, "fee", "expense", "withheld")};
    r["salaries"] = {Person(11, false), Person(12, false)};
    r["otherPersons"] = 3;
    r["familyEmployees"] = {Person(13, true), Person(14, true)};
    r["landRent"] = {LandRent(2), LandRent(3)};
    r["specialMatters"] = Lines(1023, 120, 3);
    r["repairs"] = json::array();
    for (int i = 0; i < 3; ++i)
        r["repairs"].push_back({{"upper", Fill(40, i)}, {"lower", Fill(40, i + 2, true)}, {"work", Fill(20, i + 4)},
                                {"date", 20190615 + i}, {"paid", (1620000 + i) * kYen}, {"expense", (1620000 + i) * kYen}});
    return store.dump();
}

}  // namespace bench
