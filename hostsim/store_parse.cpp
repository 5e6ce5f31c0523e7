// Reading the host data store from JSON into the host's own records. Every value is
// checked: an unknown key, a wrong type, a number out of range or a text too long for
// its slot stops the load with the key path of the offending value.
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "common/cp932.h"
#include "hostsim/store.h"

namespace hostsim {

const char* const kListKeys[] = {
    "blue.general.pl",    "blue.general.assets",    "blue.general.liabilities",
    "blue.general.manufacturing", "blue.realEstate.pl", "blue.realEstate.assets",
    "blue.realEstate.liabilities", "white.general.pl",  "white.realEstate.pl",
};
const std::size_t kListKeyCount = sizeof(kListKeys) / sizeof(kListKeys[0]);

namespace {

using Json = nlohmann::json;

// Operations whose answer a fault may set (every logged operation with a result).
const char* const kFaultableOperations[] = {
    "Initiate", "ExpSysLink", "DispMsg", "LogOut",
    "GetCurUserID", "GetSelectedNo",
    "GetDatCursor", "ReadyDat", "WalkDat", "ReleaseDatCursor",
    "AttachSetMgr", "SetCurDataID", "AttachOptLink",
    "Ready", "GetCount_PL", "GetCount_BS_Shisan", "GetCount_BS_FusaiShihon", "GetCount_SeizoGenka",
    "MoveFirst_PL", "MoveNext_PL", "MoveFirst_BS_Shisan", "MoveNext_BS_Shisan",
    "MoveFirst_BS_FusaiShihon", "MoveNext_BS_FusaiShihon", "MoveFirst_SeizoGenka", "MoveNext_SeizoGenka",
    "GetTsukibetsuUriageShiire", "GetDataIppan", "GetDataFudousan",
};

struct ParseFailure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& why)
{
    throw ParseFailure{path + ": " + why};
}

std::string Describe(const Json& j)
{
    if (j.is_number_float()) return "a number with a fraction";
    if (j.is_number()) return "a number";
    if (j.is_string()) return "a text";
    if (j.is_boolean()) return "true/false";
    if (j.is_null()) return "null";
    if (j.is_array()) return "a list";
    return "an object";
}

template <class T>
T ReadInteger(const Json& j, const std::string& path)
{
    if (!j.is_number_integer()) Fail(path, "expected an integer, found " + Describe(j));
    const long long lo = static_cast<long long>(std::numeric_limits<T>::min());
    const unsigned long long hi = static_cast<unsigned long long>(std::numeric_limits<T>::max());
    if (j.is_number_unsigned()) {
        unsigned long long u = j.get<unsigned long long>();
        if (u > hi) Fail(path, "value " + std::to_string(u) + " out of range " + std::to_string(lo) + " to " + std::to_string(hi));
        return static_cast<T>(u);
    }
    long long v = j.get<long long>();
    if (v < lo || (v > 0 && static_cast<unsigned long long>(v) > hi))
        Fail(path, "value " + std::to_string(v) + " out of range " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<T>(v);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "95 5C 8E 9A" (blanks between bytes optional) to bytes.
std::string ReadHexBytes(const std::string& hex, const std::string& path)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < hex.size()) {
        if (hex[i] == ' ' || hex[i] == '\t') {
            ++i;
            continue;
        }
        int hi = HexDigit(hex[i]);
        int lo = i + 1 < hex.size() ? HexDigit(hex[i + 1]) : -1;
        if (hi < 0 || lo < 0) Fail(path, "expected pairs of hex digits, e.g. \"95 5C\"");
        bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return bytes;
}

// A text: UTF-8 converted to CP932, or {"sjis": "hex bytes"} taken as it is.
std::string ReadText(const Json& j, const std::string& path, std::size_t slot)
{
    std::string bytes;
    if (j.is_string()) {
        bool lossless = true;
        // As Windows converts it: a best fit where it has one (é as e), an error where
        // Windows would write its default character.
        bytes = cp932::FromUtf8BestFit(j.get<std::string>(), &lossless);
        if (!lossless) Fail(path, "text holds a character that CP932 lacks");
    } else if (j.is_object()) {
        auto it = j.find("sjis");
        if (it == j.end() || j.size() != 1) Fail(path, "expected a text or {\"sjis\": \"hex bytes\"}");
        if (!it->is_string()) Fail(path + ".sjis", "expected a text, found " + Describe(*it));
        bytes = ReadHexBytes(it->get<std::string>(), path + ".sjis");
    } else {
        Fail(path, "expected a text, found " + Describe(j));
    }
    if (bytes.find('\0') != std::string::npos) Fail(path, "text holds a NUL byte");
    if (bytes.size() > slot - 1) Fail(path, "text longer than " + std::to_string(slot - 1) + " bytes");
    return bytes;
}

// One JSON object whose keys are taken one by one; Done() rejects the keys nobody took.
class Object {
public:
    Object(const Json& j, std::string path) : j_(j), path_(std::move(path))
    {
        if (!j.is_object()) Fail(path_, "expected an object, found " + Describe(j));
    }

    std::string Path(const std::string& key) const { return path_.empty() ? key : path_ + "." + key; }

    const Json* Get(const char* key)
    {
        known_.insert(key);
        auto it = j_.find(key);
        return it == j_.end() ? nullptr : &*it;
    }

    template <class T>
    void Int(const char* key, T* out)
    {
        if (const Json* v = Get(key)) *out = ReadInteger<T>(*v, Path(key));
    }

    template <std::size_t N>
    void Text(const char* key, char (&slot)[N])
    {
        if (const Json* v = Get(key)) {
            std::string bytes = ReadText(*v, Path(key), N);
            std::memset(slot, 0, N);
            std::memcpy(slot, bytes.data(), bytes.size());
        }
    }

    void Done() const
    {
        for (auto it = j_.begin(); it != j_.end(); ++it)
            if (!known_.count(it.key()) && it.key() != "comment") Fail(Path(it.key()), "unknown key");
    }

private:
    const Json& j_;
    std::string path_;
    std::set<std::string> known_;
};

// Calls each(element, path, index) for the elements of an optional list of at most max.
template <class F>
void ForEach(const Json* j, const std::string& path, std::size_t max, F each)
{
    if (!j) return;
    if (!j->is_array()) Fail(path, "expected a list, found " + Describe(*j));
    if (j->size() > max) Fail(path, "more than " + std::to_string(max) + " rows");
    for (std::size_t i = 0; i < j->size(); ++i) each((*j)[i], path + "[" + std::to_string(i) + "]", i);
}

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

void ReadLines(Object& parent, const char* key, std::vector<StAOSUMINFO>* lines)
{
    ForEach(parent.Get(key), parent.Path(key), kUnlimited, [&](const Json& j, const std::string& path, std::size_t) {
        StAOSUMINFO line{};
        Object o(j, path);
        o.Int("row", &line.lRowNo);
        o.Int("code", &line.lLineCode);
        o.Text("name", line.szAccountName);
        o.Int("begin", &line.llBeginAmount);
        o.Int("amount", &line.llAmount);
        o.Done();
        lines->push_back(line);
    });
}

void ReadEmployee(const Json& j, const std::string& path, StSavedEmployee* row)
{
    Object o(j, path);
    o.Text("name", row->szName);
    o.Int("age", &row->lAge);
    o.Int("months", &row->lMonths);
    o.Int("salary", &row->llSalary);
    o.Int("bonus", &row->llBonus);
    o.Int("tax", &row->llTax);
    o.Done();
}

void ReadFamilyEmployee(const Json& j, const std::string& path, StSavedFamilyEmployee* row)
{
    Object o(j, path);
    o.Text("name", row->szName);
    o.Text("relation", row->szRelation);
    o.Int("age", &row->lAge);
    o.Int("months", &row->lMonths);
    o.Int("salary", &row->llSalary);
    o.Int("bonus", &row->llBonus);
    o.Int("tax", &row->llTax);
    o.Done();
}

// A payee row whose three amounts are named by the schedule it belongs to.
void ReadPayee(const Json& j, const std::string& path, StSavedPayee* row, const char* a0, const char* a1,
               const char* a2)
{
    Object o(j, path);
    o.Text("upper", row->szUpper);
    o.Text("lower", row->szLower);
    o.Int(a0, &row->llAmount[0]);
    o.Int(a1, &row->llAmount[1]);
    o.Int(a2, &row->llAmount[2]);
    o.Done();
}

void ReadInterestRow(const Json& j, const std::string& path, StSavedPayee* row)
{
    ReadPayee(j, path, row, "balance", "interest", "expense");
}

void ReadFeeRow(const Json& j, const std::string& path, StSavedPayee* row)
{
    ReadPayee(j, path, row, "fee", "expense", "withheld");
}

void ReadLandRent(const Json& j, const std::string& path, StSavedLandRent* row)
{
    Object o(j, path);
    o.Text("upper", row->szUpper);
    o.Text("lower", row->szLower);
    o.Text("property", row->szProperty);
    o.Int("kind", &row->cMoneyKind);
    o.Int("first", &row->llAmount[0]);
    o.Int("rent", &row->llAmount[1]);
    o.Int("expense", &row->llAmount[2]);
    o.Done();
}

void ReadTrade(const Json& j, const std::string& path, StSavedTradeRow* row, const char* nameKey)
{
    Object o(j, path);
    o.Text(nameKey, row->szName);
    o.Text("location", row->szLocation);
    o.Int("amount", &row->llAmount);
    o.Done();
}

void ReadGeneral(const Json& j, const std::string& path, DataSet* ds)
{
    Object o(j, path);
    o.Text("association", ds->generalBase.szAssociation);
    o.Int("realEstateIncome", &ds->generalBase.llRealEstateIncome);
    o.Int("deduction", &ds->generalBase.cDeduction);

    ForEach(o.Get("familyEmployees"), o.Path("familyEmployees"), 5,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadFamilyEmployee(e, p, &ds->generalFamily.family[i]); });
    if (const Json* bad = o.Get("badDebt")) {
        Object b(*bad, o.Path("badDebt"));
        b.Int("individual", &ds->generalFamily.llBadDebtIndividual);
        b.Int("lumpSumTotal", &ds->generalFamily.llBadDebtLumpSumTotal);
        b.Int("lumpSumLimit", &ds->generalFamily.llBadDebtLumpSumLimit);
        b.Int("lumpSum", &ds->generalFamily.llBadDebtLumpSum);
        b.Done();
    }
    ForEach(o.Get("salaries"), o.Path("salaries"), 6,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadEmployee(e, p, &ds->generalSalary.salary[i]); });
    ForEach(o.Get("interest"), o.Path("interest"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadInterestRow(e, p, &ds->generalPayee.payee[i]); });
    ForEach(o.Get("taxAccountantFees"), o.Path("taxAccountantFees"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadFeeRow(e, p, &ds->generalPayee.payee[2 + i]); });
    ForEach(o.Get("landRent"), o.Path("landRent"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadLandRent(e, p, &ds->generalLandRent.landRent[i]); });
    o.Text("specialMatters", ds->generalNotes.szSpecialMatters);
    if (const Json* rr = o.Get("reducedRate")) {
        Object r(*rr, o.Path("reducedRate"));
        r.Int("sales", &ds->generalNotes.llReducedRateSales);
        r.Int("purchases", &ds->generalNotes.llReducedRatePurchases);
        r.Done();
    }
    ForEach(o.Get("sales"), o.Path("sales"), 4,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadTrade(e, p, &ds->generalTrade.sales[i], "customer"); });
    o.Int("otherSales", &ds->generalTrade.llOtherSales);
    o.Int("salesReducedRate", &ds->generalTrade.llSalesReducedRate);
    ForEach(o.Get("purchases"), o.Path("purchases"), 4, [&](const Json& e, const std::string& p, std::size_t i) {
        ReadTrade(e, p, &ds->generalTrade.purchases[i], "supplier");
    });
    o.Int("otherPurchases", &ds->generalTrade.llOtherPurchases);
    o.Int("purchasesReducedRate", &ds->generalTrade.llPurchasesReducedRate);
    o.Done();
}

void ReadRental(const Json& j, const std::string& path, StFUDOUSAN_RENTAL* row)
{
    Object o(j, path);
    o.Int("leading", &row->lLeading);
    o.Int("marker", &row->lMarker);
    o.Text("tenantB", row->szTenantB);
    o.Text("location", row->szLocation);
    o.Text("tenantA", row->szTenantA);
    o.Text("houseOrLand", row->szHouseOrLand);
    o.Text("use", row->szUse);
    o.Int("from", &row->lFrom);
    o.Int("to", &row->lTo);
    o.Int("area", &row->llArea);
    o.Int("monthlyRent", &row->llMonthlyRent);
    o.Int("annualRent", &row->llAnnualRent);
    o.Int("keyMoney", &row->llKeyMoney);
    o.Int("premium", &row->llPremium);
    o.Int("renewal", &row->llRenewal);
    o.Int("nameChange", &row->llNameChange);
    o.Int("deposit", &row->llDeposit);
    o.Done();
}

void ReadScaleUse(Object& parent, const char* key, StScaleUse* use)
{
    if (const Json* j = parent.Get(key)) {
        Object o(*j, parent.Path(key));
        o.Int("detached", &use->lDetached);
        o.Int("other", &use->lOtherBuildings);
        o.Int("landContracts", &use->lLandContracts);
        o.Int("landArea", &use->llLandArea);
        o.Done();
    }
}

void ReadRealEstate(const Json& j, const std::string& path, DataSet* ds)
{
    Object o(j, path);
    o.Int("liabilityInterest", &ds->realEstateBase.llLiabilityInterest);
    ForEach(o.Get("rentals"), o.Path("rentals"), 9999, [&](const Json& e, const std::string& p, std::size_t) {
        StFUDOUSAN_RENTAL row{};
        ReadRental(e, p, &row);
        ds->rentals.push_back(row);
    });
    ForEach(o.Get("borrowings"), o.Path("borrowings"), 3,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadInterestRow(e, p, &ds->realEstatePayee.payee[i]); });
    ForEach(o.Get("taxAccountantFees"), o.Path("taxAccountantFees"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadFeeRow(e, p, &ds->realEstatePayee.payee[3 + i]); });
    ForEach(o.Get("salaries"), o.Path("salaries"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadEmployee(e, p, &ds->realEstateEmployee.salary[i]); });
    o.Int("otherPersons", &ds->realEstateEmployee.lOtherPersons);
    ForEach(o.Get("familyEmployees"), o.Path("familyEmployees"), 2, [&](const Json& e, const std::string& p, std::size_t i) {
        ReadFamilyEmployee(e, p, &ds->realEstateEmployee.family[i]);
    });
    ForEach(o.Get("landRent"), o.Path("landRent"), 2,
            [&](const Json& e, const std::string& p, std::size_t i) { ReadLandRent(e, p, &ds->realEstateLandRent.landRent[i]); });
    o.Text("specialMatters", ds->realEstateNotes.szSpecialMatters);
    ForEach(o.Get("repairs"), o.Path("repairs"), 3, [&](const Json& e, const std::string& p, std::size_t i) {
        StSavedRepair& row = ds->realEstateRepair.repair[i];
        Object r(e, p);
        r.Text("upper", row.szUpper);
        r.Text("lower", row.szLower);
        r.Text("work", row.szWork);
        r.Int("date", &row.lDate);
        r.Int("paid", &row.llPaid);
        r.Int("expense", &row.llExpense);
        r.Done();
    });
    if (const Json* scale = o.Get("scale")) {
        Object s(*scale, o.Path("scale"));
        ReadScaleUse(s, "residential", &ds->realEstateScale.residential);
        ReadScaleUse(s, "nonResidential", &ds->realEstateScale.nonResidential);
        if (const Json* parking = s.Get("parking")) {
            Object p(*parking, s.Path("parking"));
            p.Int("roofed", &ds->realEstateScale.lParkingRoofed);
            p.Int("open", &ds->realEstateScale.lParkingOpen);
            p.Done();
        }
        s.Done();
    }
    o.Done();
}

// "blue"/"white": {"general": {...lists}, "realEstate": {...lists}[, "monthly": [...]]}
void ReadEngine(Object& dataSet, const char* engine, DataSet* ds)
{
    const Json* j = dataSet.Get(engine);
    if (!j) return;
    const bool blue = std::strcmp(engine, "blue") == 0;
    Object o(*j, dataSet.Path(engine));
    if (const Json* g = o.Get("general")) {
        Object lists(*g, o.Path("general"));
        const char* names[] = {"pl", "assets", "liabilities", "manufacturing"};
        for (std::size_t i = 0; i < (blue ? 4u : 1u); ++i)
            ReadLines(lists, names[i], &ds->lists[std::string(engine) + ".general." + names[i]]);
        lists.Done();
    }
    if (const Json* r = o.Get("realEstate")) {
        Object lists(*r, o.Path("realEstate"));
        const char* names[] = {"pl", "assets", "liabilities"};
        for (std::size_t i = 0; i < (blue ? 3u : 1u); ++i)
            ReadLines(lists, names[i], &ds->lists[std::string(engine) + ".realEstate." + names[i]]);
        lists.Done();
    }
    if (blue) {
        ForEach(o.Get("monthly"), o.Path("monthly"), 27, [&](const Json& e, const std::string& p, std::size_t i) {
            ds->monthly.llSlot[i] = ReadInteger<int64_t>(e, p);
        });
    }
    o.Done();
}

void ReadDataSet(const Json& j, const std::string& path, DataSet* ds)
{
    Object o(j, path);
    o.Text("id", ds->info.szDataId);
    o.Int("number", &ds->info.lDataNo);
    o.Text("company", ds->info.szCompanyName);
    o.Int("periodStart", &ds->info.lPeriodStart);
    o.Int("periodEnd", &ds->info.lPeriodEnd);
    o.Int("manufacturingCost", &ds->info.ulMfgCost);
    o.Int("dataKind", &ds->info.sDataKind);
    o.Int("returnKind", &ds->info.cReturnKind);
    o.Int("businessKind", &ds->info.cBusinessKind);
    ReadEngine(o, "blue", ds);
    ReadEngine(o, "white", ds);
    if (const Json* counts = o.Get("counts")) {
        Object c(*counts, o.Path("counts"));
        for (std::size_t i = 0; i < kListKeyCount; ++i) {
            int32_t n = 0;
            if (c.Get(kListKeys[i])) {
                c.Int(kListKeys[i], &n);
                ds->counts[kListKeys[i]] = n;
            }
        }
        c.Done();
    }
    if (const Json* saved = o.Get("saved")) {
        Object s(*saved, o.Path("saved"));
        if (const Json* g = s.Get("general")) ReadGeneral(*g, s.Path("general"), ds);
        if (const Json* r = s.Get("realEstate")) ReadRealEstate(*r, s.Path("realEstate"), ds);
        s.Done();
    }
    o.Done();
}

void ReadFault(const Json& j, const std::string& path, std::vector<Fault>* faults)
{
    if (j.is_number()) {
        faults->push_back(Fault{0, ReadInteger<int32_t>(j, path)});
    } else if (j.is_object()) {
        Fault f;
        Object o(j, path);
        const Json* call = o.Get("call");
        const Json* status = o.Get("status");
        o.Done();
        if (!call) Fail(path, "missing \"call\"");
        if (!status) Fail(path, "missing \"status\"");
        f.call = ReadInteger<int32_t>(*call, o.Path("call"));
        if (f.call < 1) Fail(o.Path("call"), "calls count from 1");
        f.status = ReadInteger<int32_t>(*status, o.Path("status"));
        faults->push_back(f);
    } else if (j.is_array()) {
        for (std::size_t i = 0; i < j.size(); ++i) {
            if (j[i].is_array()) Fail(path + "[" + std::to_string(i) + "]", "expected a status or {\"call\", \"status\"}");
            ReadFault(j[i], path + "[" + std::to_string(i) + "]", faults);
        }
    } else {
        Fail(path, "expected a status, {\"call\": N, \"status\": S} or a list of them, found " + Describe(j));
    }
}

void ReadStore(const Json& root, Store* store)
{
    Object o(root, "");
    if (const Json* c = o.Get("connection")) {
        Object conn(*c, "connection");
        if (conn.Get("initiate")) {
            conn.Int("initiate", &store->initiate);
            store->hasInitiate = true;
        }
        if (conn.Get("link")) {
            conn.Int("link", &store->link);
            store->hasLink = true;
        }
        conn.Done();
    }
    if (const Json* u = o.Get("user")) {
        Object user(*u, "user");
        if (const Json* id = user.Get("id")) store->userId = ReadText(*id, "user.id", 65);
        if (const Json* sel = user.Get("selected")) {
            if (!sel->is_array() || sel->size() != 2) Fail("user.selected", "expected a list of two numbers [first, second]");
            store->selectedFirst = ReadInteger<int32_t>((*sel)[0], "user.selected[0]");
            store->selectedSecond = ReadInteger<int32_t>((*sel)[1], "user.selected[1]");
        }
        user.Done();
    }
    if (const Json* f = o.Get("folders")) {
        Object folders(*f, "folders");
        if (const Json* out = folders.Get("output")) store->outputFolder = ReadText(*out, "folders.output", 260);
        if (const Json* set = folders.Get("settings")) store->settingsFolder = ReadText(*set, "folders.settings", 260);
        folders.Done();
    }
    if (const Json* f = o.Get("faults")) {
        Object faults(*f, "faults");
        std::set<std::string> names(std::begin(kFaultableOperations), std::end(kFaultableOperations));
        // The connection's answers may also be named after their "connection" keys.
        const std::map<std::string, std::string> aliases = {{"connection.initiate", "Initiate"},
                                                             {"connection.link", "ExpSysLink"}};
        for (auto it = f->begin(); it != f->end(); ++it) {
            if (it.key() == "comment") continue;
            auto alias = aliases.find(it.key());
            const std::string operation = alias != aliases.end() ? alias->second : it.key();
            if (!names.count(operation)) Fail("faults." + it.key(), "unknown operation");
            faults.Get(it.key().c_str());
            ReadFault(it.value(), "faults." + it.key(), &store->faults[operation]);
        }
        faults.Done();
    }
    ForEach(o.Get("dataSets"), "dataSets", kUnlimited, [&](const Json& j, const std::string& path, std::size_t) {
        store->dataSets.emplace_back();
        ReadDataSet(j, path, &store->dataSets.back());
    });
    o.Done();

    // Every data set needs an id text of its own: the engines are bound by it. Given ids
    // first, then the data number as text (with "#<position>" when that is taken).
    std::set<std::string> ids;
    for (std::size_t i = 0; i < store->dataSets.size(); ++i) {
        const StDATAINFO& info = store->dataSets[i].info;
        if (info.szDataId[0] && !ids.insert(info.szDataId).second)
            Fail("dataSets[" + std::to_string(i) + "].id", "id used by an earlier data set");
    }
    for (std::size_t i = 0; i < store->dataSets.size(); ++i) {
        StDATAINFO& info = store->dataSets[i].info;
        if (info.szDataId[0]) continue;
        std::string id = std::to_string(info.lDataNo);
        if (ids.count(id)) id += "#" + std::to_string(i + 1);
        if (id.size() >= sizeof(info.szDataId) || !ids.insert(id).second)
            Fail("dataSets[" + std::to_string(i) + "].id", "no unique id can be made; give one");
        std::memcpy(info.szDataId, id.c_str(), id.size() + 1);
    }
}

}  // namespace

bool ParseStore(const std::string& json, Store* store, std::string* error)
{
    Store fresh;
    try {
        Json root = Json::parse(json);
        ReadStore(root, &fresh);
    } catch (const ParseFailure& failure) {
        *error = failure.message;
        return false;
    } catch (const Json::exception& e) {
        *error = std::string("not valid JSON: ") + e.what();
        return false;
    }
    *store = std::move(fresh);
    error->clear();
    return true;
}

}  // namespace hostsim
