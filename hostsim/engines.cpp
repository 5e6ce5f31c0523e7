// hostbooks: the rule engines and the saved statement details, served from the data set
// the object is bound to. Every call is logged and may be answered by a fault.
#include <cstring>
#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "hostsim/objects.h"
#include "hostsim/store.h"
#include "platform/services.h"

using hostsim::DataSet;
using hostsim::LogCall;

namespace {

const std::vector<StAOSUMINFO> kNoLines;

// A configured fault with a nonzero status answers the call instead of the data set.
bool Faulted(const char* operation, const std::string& args, long* status)
{
    if (!hostsim::TakeFault(operation, status) || *status == 0) return false;
    LogCall(operation, args, *status);
    return true;
}

// 0 when the binding names a data set (and, when asked, Ready has succeeded).
long CheckBinding(const ClHostBinding* binding, bool needReady, DataSet** ds)
{
    *ds = binding->bound ? hostsim::FindDataSet(binding->dataId.c_str()) : nullptr;
    if (!*ds) return hostsim::HOSTSIM_NO_DATA_SET;
    if (needReady && !binding->ready) return hostsim::HOSTSIM_NOT_READY;
    return 0;
}

// "blue.general.pl" and its siblings; empty for a sum type other than 0 and 1.
std::string ListKey(const char* engine, long type, const char* list)
{
    if (type != 0 && type != 1) return std::string();
    return std::string(engine) + (type == 0 ? ".general." : ".realEstate.") + list;
}

const std::vector<StAOSUMINFO>& Lines(const DataSet* ds, const std::string& key)
{
    auto it = ds->lists.find(key);
    return it == ds->lists.end() ? kNoLines : it->second;
}

long Count(ClHostBinding* binding, const char* operation, const std::string& args, const std::string& key)
{
    long count = 0;
    if (hostsim::TakeFault(operation, &count)) {
        LogCall(operation, args, count);
        return count;
    }
    DataSet* ds = nullptr;
    if (!key.empty() && CheckBinding(binding, true, &ds) == 0) {
        auto it = ds->counts.find(key);
        count = it != ds->counts.end() ? it->second : static_cast<long>(Lines(ds, key).size());
    }
    LogCall(operation, args, count);
    return count;
}

void CopyLine(const StAOSUMINFO& from, StAOSUMINFO* to) { *to = from; }

void CopyLine(const StAOSUMINFO& from, StSIROSUMINFO* to)
{
    *to = StSIROSUMINFO{};
    to->lRowNo = from.lRowNo;
    to->lLineCode = from.lLineCode;
    std::memcpy(to->szAccountName, from.szAccountName, sizeof(to->szAccountName));
    to->llBeginAmount = from.llBeginAmount;
    to->llAmount = from.llAmount;
}

// MoveFirst (first = true) / MoveNext of one list into the caller's record.
template <class Record>
long Move(ClHostBinding* binding, const char* operation, const std::string& args, const std::string& key, bool first,
          Record* line)
{
    long status = 0;
    if (Faulted(operation, args, &status)) return status;
    DataSet* ds = nullptr;
    if (key.empty() || !line)
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    else
        status = CheckBinding(binding, true, &ds);
    if (status == 0) {
        const std::vector<StAOSUMINFO>& lines = Lines(ds, key);
        if (first) binding->next[key] = 0;
        auto it = binding->next.find(key);
        if (it == binding->next.end()) {
            status = hostsim::HOSTSIM_NO_WALK;
        } else if (it->second >= lines.size()) {
            status = HOST_NO_MORE_RECORDS;
        } else {
            CopyLine(lines[it->second++], line);
        }
    }
    LogCall(operation, args, status);
    return status;
}

// AttachSetMgr / AttachOptLink: keeps the handle; a null one is refused.
template <class Handle>
long Attach(const char* operation, Handle* handle, Handle** slot)
{
    long status = 0;
    if (Faulted(operation, "", &status)) return status;
    if (handle)
        *slot = handle;
    else
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    LogCall(operation, "", status);
    return status;
}

long Bind(ClHostBinding* binding, const char* id)
{
    const std::string args = hostsim::LogText(id);
    long status = 0;
    if (Faulted("SetCurDataID", args, &status)) return status;
    if (!id) {
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    } else {
        binding->dataId = id;
        binding->bound = true;
        binding->ready = false;
        binding->next.clear();
        status = hostsim::FindDataSet(id) ? 0 : hostsim::HOSTSIM_NO_DATA_SET;
    }
    LogCall("SetCurDataID", args, status);
    return status;
}

long Prepare(ClHostBinding* binding, const std::string& args, bool conditionOk)
{
    long status = 0;
    binding->ready = false;
    binding->next.clear();
    if (Faulted("Ready", args, &status)) return status;
    DataSet* ds = nullptr;
    status = conditionOk ? CheckBinding(binding, false, &ds) : hostsim::HOSTSIM_BAD_ARGUMENT;
    binding->ready = status == 0;
    LogCall("Ready", args, status);
    return status;
}

std::string TypeArg(long type) { return std::to_string(type); }

}  // namespace

// ---- ClRuleAo ----

ClRuleAo::ClRuleAo() : m_binding(new ClHostBinding) {}
ClRuleAo::~ClRuleAo() { delete m_binding; }
long ClRuleAo::AttachSetMgr(ClSetMgr* mgr) { return Attach("AttachSetMgr", mgr, &m_binding->setMgr); }
long ClRuleAo::SetCurDataID(const char* id) { return Bind(m_binding, id); }
long ClRuleAo::AttachOptLink(ClOptLink* link) { return Attach("AttachOptLink", link, &m_binding->optLink); }

long ClRuleAo::Ready(StAOSUMCONDITION* condition)
{
    // The host sums only on the condition "everything": first member 255, the rest 0.
    bool ok = condition && condition->cTarget == 255;
    if (ok) {
        for (uint8_t b : condition->cReserved) ok = ok && b == 0;
        for (int32_t v : condition->lReserved) ok = ok && v == 0;
    }
    return Prepare(m_binding, condition ? std::to_string(condition->cTarget) : "null", ok);
}

long ClRuleAo::GetCount_PL(_RuleAoSumType type)
{
    return Count(m_binding, "GetCount_PL", TypeArg(type), ListKey("blue", type, "pl"));
}
long ClRuleAo::GetCount_BS_Shisan(_RuleAoSumType type)
{
    return Count(m_binding, "GetCount_BS_Shisan", TypeArg(type), ListKey("blue", type, "assets"));
}
long ClRuleAo::GetCount_BS_FusaiShihon(_RuleAoSumType type)
{
    return Count(m_binding, "GetCount_BS_FusaiShihon", TypeArg(type), ListKey("blue", type, "liabilities"));
}
long ClRuleAo::GetCount_SeizoGenka()
{
    return Count(m_binding, "GetCount_SeizoGenka", "", ListKey("blue", 0, "manufacturing"));
}
long ClRuleAo::MoveFirst_PL(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveFirst_PL", TypeArg(type), ListKey("blue", type, "pl"), true, line);
}
long ClRuleAo::MoveNext_PL(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveNext_PL", TypeArg(type), ListKey("blue", type, "pl"), false, line);
}
long ClRuleAo::MoveFirst_BS_Shisan(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveFirst_BS_Shisan", TypeArg(type), ListKey("blue", type, "assets"), true, line);
}
long ClRuleAo::MoveNext_BS_Shisan(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveNext_BS_Shisan", TypeArg(type), ListKey("blue", type, "assets"), false, line);
}
long ClRuleAo::MoveFirst_BS_FusaiShihon(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveFirst_BS_FusaiShihon", TypeArg(type), ListKey("blue", type, "liabilities"), true, line);
}
long ClRuleAo::MoveNext_BS_FusaiShihon(_RuleAoSumType type, StAOSUMINFO* line)
{
    return Move(m_binding, "MoveNext_BS_FusaiShihon", TypeArg(type), ListKey("blue", type, "liabilities"), false, line);
}
long ClRuleAo::MoveFirst_SeizoGenka(StAOSUMINFO* line)
{
    return Move(m_binding, "MoveFirst_SeizoGenka", "", ListKey("blue", 0, "manufacturing"), true, line);
}
long ClRuleAo::MoveNext_SeizoGenka(StAOSUMINFO* line)
{
    return Move(m_binding, "MoveNext_SeizoGenka", "", ListKey("blue", 0, "manufacturing"), false, line);
}

long ClRuleAo::GetTsukibetsuUriageShiire(StAOSUMINFO_TSUKIBETSU* monthly)
{
    long status = 0;
    if (Faulted("GetTsukibetsuUriageShiire", "", &status)) return status;
    DataSet* ds = nullptr;
    status = monthly ? CheckBinding(m_binding, true, &ds) : hostsim::HOSTSIM_BAD_ARGUMENT;
    if (status == 0) *monthly = ds->monthly;
    LogCall("GetTsukibetsuUriageShiire", "", status);
    return status;
}

// ---- ClRuleSiro ----

ClRuleSiro::ClRuleSiro() : m_binding(new ClHostBinding) {}
ClRuleSiro::~ClRuleSiro() { delete m_binding; }
long ClRuleSiro::AttachSetMgr(ClSetMgr* mgr) { return Attach("AttachSetMgr", mgr, &m_binding->setMgr); }
long ClRuleSiro::SetCurDataID(const char* id) { return Bind(m_binding, id); }
long ClRuleSiro::AttachOptLink(ClOptLink* link) { return Attach("AttachOptLink", link, &m_binding->optLink); }
long ClRuleSiro::Ready() { return Prepare(m_binding, "", true); }

long ClRuleSiro::GetCount_PL(_RuleSiroSumType type)
{
    return Count(m_binding, "GetCount_PL", TypeArg(type), ListKey("white", type, "pl"));
}
long ClRuleSiro::MoveFirst_PL(_RuleSiroSumType type, StSIROSUMINFO* line)
{
    return Move(m_binding, "MoveFirst_PL", TypeArg(type), ListKey("white", type, "pl"), true, line);
}
long ClRuleSiro::MoveNext_PL(_RuleSiroSumType type, StSIROSUMINFO* line)
{
    return Move(m_binding, "MoveNext_PL", TypeArg(type), ListKey("white", type, "pl"), false, line);
}

// ---- ClSaveAoSiro ----

namespace {

// Task-memory blocks of one answer; released again unless the answer is handed over.
class BlockSet {
public:
    ~BlockSet()
    {
        for (void* block : blocks_) platform::TaskMemFree(block);
    }
    template <class T>
    T* Copy(const T* rows, std::size_t count)
    {
        // Room in the list first: memory running out there must not lose a block.
        blocks_.reserve(blocks_.size() + 1);
        void* block = platform::TaskMemAlloc(sizeof(T) * count);
        if (!block) {
            failed_ = true;
            return nullptr;
        }
        blocks_.push_back(block);
        std::memcpy(block, rows, sizeof(T) * count);
        return static_cast<T*>(block);
    }
    template <class T>
    T* Copy(const T& value)
    {
        return Copy(&value, 1);
    }
    bool Failed() const { return failed_; }
    void HandOver() { blocks_.clear(); }

private:
    std::vector<void*> blocks_;
    bool failed_ = false;
};

}  // namespace

ClSaveAoSiro::ClSaveAoSiro() : m_binding(new ClHostBinding) {}
ClSaveAoSiro::~ClSaveAoSiro() { delete m_binding; }
long ClSaveAoSiro::AttachSetMgr(ClSetMgr* mgr) { return Attach("AttachSetMgr", mgr, &m_binding->setMgr); }
long ClSaveAoSiro::SetCurDataID(const char* id) { return Bind(m_binding, id); }

long ClSaveAoSiro::GetDataIppan(StAOSIROSAVEINFO_IPPAN* info)
{
    long status = 0;
    if (Faulted("GetDataIppan", "", &status)) return status;
    DataSet* ds = nullptr;
    status = info ? CheckBinding(m_binding, false, &ds) : hostsim::HOSTSIM_BAD_ARGUMENT;
    if (status == 0) {
        BlockSet blocks;
        StAOSIROSAVEINFO_IPPAN out{};
        out.pBase = blocks.Copy(ds->generalBase);
        out.pFamily = blocks.Copy(ds->generalFamily);
        out.pSalary = blocks.Copy(ds->generalSalary);
        out.pPayee = blocks.Copy(ds->generalPayee);
        out.pLandRent = blocks.Copy(ds->generalLandRent);
        out.pNotes = blocks.Copy(ds->generalNotes);
        out.pTrade = blocks.Copy(ds->generalTrade);
        if (blocks.Failed()) {
            status = hostsim::HOSTSIM_OUT_OF_MEMORY;
        } else {
            blocks.HandOver();
            *info = out;
        }
    }
    LogCall("GetDataIppan", "", status);
    return status;
}

long ClSaveAoSiro::GetDataFudousan(StAOSIROSAVEINFO_FUDOUSAN* info)
{
    long status = 0;
    if (Faulted("GetDataFudousan", "", &status)) return status;
    DataSet* ds = nullptr;
    status = info ? CheckBinding(m_binding, false, &ds) : hostsim::HOSTSIM_BAD_ARGUMENT;
    if (status == 0) {
        // The rentals as stored, then the row that ends the list.
        std::vector<StFUDOUSAN_RENTAL> rentals = ds->rentals;
        StFUDOUSAN_RENTAL end{};
        end.lMarker = -1;
        rentals.push_back(end);

        BlockSet blocks;
        StAOSIROSAVEINFO_FUDOUSAN out{};
        out.pBase = blocks.Copy(ds->realEstateBase);
        out.pRentals = blocks.Copy(rentals.data(), rentals.size());
        out.pPayee = blocks.Copy(ds->realEstatePayee);
        out.pEmployee = blocks.Copy(ds->realEstateEmployee);
        out.pLandRent = blocks.Copy(ds->realEstateLandRent);
        out.pNotes = blocks.Copy(ds->realEstateNotes);
        out.pRepair = blocks.Copy(ds->realEstateRepair);
        out.pScale = blocks.Copy(ds->realEstateScale);
        if (blocks.Failed()) {
            status = hostsim::HOSTSIM_OUT_OF_MEMORY;
        } else {
            blocks.HandOver();
            *info = out;
        }
    }
    LogCall("GetDataFudousan", "", status);
    return status;
}
