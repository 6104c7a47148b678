// The findings of a key list, alone and against a reference.

#include "capk/list_findings.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "core/capk.h"

namespace {

const char* const kFailures[] = {"checksum_mismatch",
                                 "conflict",
                                 "same_index_modulus",
                                 "modulus_too_long",
                                 "modulus_even",
                                 "exponent_not_allowed",
                                 "expired",
                                 "differs_from_reference",
                                 "reference_key_elsewhere"};

class Finder {
public:
    Finder(const KeyList& list, const KeyList* reference, int32_t today)
        : list_(list), reference_(reference), today_(today)
    {
    }
    std::vector<ListFinding> run();

private:
    void add(const ListedKey& key, const char* finding, const std::string& detail);
    void own_faults(const ListedKey& key);
    void pairs();
    // Against the reference; returns the reference's expiry for the key, 0 if none.
    int32_t against_reference(const ListedKey& key, bool& verified);
    void expiry(const ListedKey& key, int32_t reference_expiry);

    const KeyList& list_;
    const KeyList* reference_;
    int32_t today_;
    std::vector<ListFinding> out_;
};

std::string line_text(int64_t line)
{
    return "line " + std::to_string(line);
}

bool same_rid(const ListedKey& a, const ListedKey& b)
{
    return memcmp(a.rid, b.rid, 5) == 0;
}

void Finder::add(const ListedKey& key, const char* finding, const std::string& detail)
{
    out_.push_back({key.line, listed_key_label(key), key.has_name, key.name, finding, detail});
}

void Finder::own_faults(const ListedKey& key)
{
    if (key.has_checksum && !listed_key_checksum_matches(key)) {
        add(key, "checksum_mismatch",
            "stored " + hex_upper(key.checksum, 20) + ", computed " +
                hex_upper(listed_key_checksum(key)));
    }
    if (key.modulus.size() > static_cast<size_t>(kMaxModulusLength)) {
        add(key, "modulus_too_long",
            std::to_string(key.modulus.size()) + " bytes, at most " +
                std::to_string(kMaxModulusLength));
    }
    if ((key.modulus.back() & 1) == 0)
        add(key, "modulus_even",
            "an RSA modulus is odd; this one ends in " + hex_upper(&key.modulus.back(), 1));
    const int64_t e = exponent_value(key.exponent);
    if (e != 3 && e != 65537)
        add(key, "exponent_not_allowed", hex_upper(key.exponent) + " is not 3 or 65537");
}

// Keys grouped so that each key's partners are found without comparing
// every pair: a list may hold the same key thousands of times.
using Members = std::vector<size_t>;
using BySlot = std::map<uint8_t, Members>;                // index -> keys
using ByRid = std::map<std::string, BySlot>;              // RID -> index -> keys
using ByModulus = std::map<std::vector<uint8_t>, ByRid>;  // modulus -> ...
using ByForm = std::map<std::vector<uint8_t>, Members>;   // modulus | exponent -> keys

constexpr size_t kNamed = 4;

std::string rid_of(const ListedKey& k)
{
    return std::string(reinterpret_cast<const char*>(k.rid), 5);
}

// "A000000004_F8 at line 25, A000000004_F9 at line 26 and 3 more".
class Partners {
public:
    explicit Partners(const std::vector<ListedKey>& keys) : keys_(keys) {}
    // m holds self when with_self.
    void add_all(const Members& m, size_t self, bool with_self)
    {
        for (size_t j : m) {
            if (named_.size() >= kNamed)
                break;
            if (j != self)
                named_.push_back(j);
        }
        count_ += m.size() - (with_self ? 1 : 0);
    }
    size_t count() const { return count_; }
    std::string text(bool labels) const
    {
        std::string t;
        for (size_t n = 0; n < named_.size(); ++n) {
            t += n == 0 ? "" : ", ";
            if (labels)
                t += listed_key_label(keys_[named_[n]]) + " at ";
            t += line_text(keys_[named_[n]].line);
        }
        return count_ > named_.size()
                   ? t + " and " + std::to_string(count_ - named_.size()) + " more"
                   : t;
    }

private:
    const std::vector<ListedKey>& keys_;
    Members named_;
    size_t count_ = 0;
};

std::vector<uint8_t> form_of(const ListedKey& k)
{
    std::vector<uint8_t> form = k.modulus;
    form.push_back(0xFF);  // the modulus ends here, whatever its length
    const std::vector<uint8_t> e = shortest_exponent(k.exponent);
    form.insert(form.end(), e.begin(), e.end());
    return form;
}

void Finder::pairs()
{
    const std::vector<ListedKey>& keys = list_.keys;
    ByModulus by_modulus;
    std::map<std::pair<std::string, uint8_t>, ByForm> by_slot;
    for (size_t i = 0; i < keys.size(); ++i) {
        by_modulus[keys[i].modulus][rid_of(keys[i])][keys[i].index].push_back(i);
        by_slot[{rid_of(keys[i]), keys[i].index}][form_of(keys[i])].push_back(i);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        const ListedKey& key = keys[i];
        const ByForm& slot = by_slot[{rid_of(key), key.index}];
        const std::vector<uint8_t> form = form_of(key);
        Partners repeated(keys), conflict(keys), same_index(keys), shared(keys);
        for (const auto& f : slot) {
            if (f.first == form)
                repeated.add_all(f.second, i, true);
            else
                conflict.add_all(f.second, i, false);
        }
        const ByRid& by_rid = by_modulus[key.modulus];
        for (const auto& r : by_rid) {
            for (const auto& x : r.second) {
                if (r.first != rid_of(key))
                    shared.add_all(x.second, i, false);
                else if (x.first != key.index)
                    same_index.add_all(x.second, i, false);
            }
        }
        if (repeated.count() > 0)
            add(key, "repeated", "the same key as at " + repeated.text(false));
        if (conflict.count() > 0)
            add(key, "conflict",
                "another key under " + listed_key_label(key) + " at " + conflict.text(false));
        if (same_index.count() > 0)
            add(key, "same_index_modulus", "the same modulus as " + same_index.text(true));
        if (shared.count() > 0)
            add(key, "shared_modulus", "the same modulus as " + shared.text(true));
    }
}

int32_t Finder::against_reference(const ListedKey& key, bool& verified)
{
    verified = false;
    bool slot_found = false;
    bool own_match = false;
    int32_t expiry = 0;
    std::vector<const ListedKey*> elsewhere;
    for (const ListedKey& r : reference_->keys) {
        const bool slot = same_rid(r, key) && r.index == key.index;
        if (slot) {
            slot_found = true;
            if (same_key(r, key)) {
                own_match = true;
                expiry = r.expiry;
            } else {
                add(key, "differs_from_reference",
                    "the reference's " + listed_key_label(r) + " at " + line_text(r.line) +
                        " has another " + (r.modulus != key.modulus ? "modulus" : "exponent"));
            }
        } else if (r.modulus == key.modulus && same_rid(r, key)) {
            elsewhere.push_back(&r);
        } else if (r.modulus == key.modulus) {
            add(key, "shared_modulus",
                "the same modulus as the reference's " + listed_key_label(r) + " at " +
                    line_text(r.line));
        }
    }
    if (!own_match) {
        for (const ListedKey* r : elsewhere)
            add(key, "reference_key_elsewhere",
                "the modulus is the reference's " + listed_key_label(*r) + " at " +
                    line_text(r->line));
    }
    if (!slot_found)
        add(key, "not_in_reference", "the reference has no key " + listed_key_label(key));
    verified = own_match;
    return expiry;
}

void Finder::expiry(const ListedKey& key, int32_t reference_expiry)
{
    const int32_t expiry = key.expiry > 0 ? key.expiry : reference_expiry;
    if (expiry == 0) {
        add(key, "expiry_unknown", "the list gives no expiry");
        return;
    }
    if (expiry < today_) {
        add(key, "expired",
            "expired " + shown_date(expiry) + (key.expiry > 0 ? "" : " (as the reference says)"));
    }
}

std::vector<ListFinding> Finder::run()
{
    for (const KeyListNote& n : list_.notes)
        out_.push_back({n.line, n.key, false, "", n.finding, n.detail});
    for (const ListedKey& key : list_.keys) {
        own_faults(key);
        bool verified = false;
        const int32_t reference_expiry =
            reference_ != nullptr ? against_reference(key, verified) : 0;
        if (!key.has_checksum && verified)
            add(key, "verified_by_reference", "the reference holds the same key");
        else if (!key.has_checksum)
            add(key, "checksum_absent", "the list stores no checksum: the key is not verified");
        expiry(key, reference_expiry);
    }
    pairs();
    std::stable_sort(out_.begin(), out_.end(),
                     [](const ListFinding& a, const ListFinding& b) { return a.line < b.line; });
    return out_;
}

}  // namespace

FindingKind finding_kind(const std::string& finding)
{
    for (const char* f : kFailures)
        if (finding == f)
            return FindingKind::kFailure;
    return finding == "checksum_absent" ? FindingKind::kUndetermined : FindingKind::kNote;
}

std::vector<ListFinding> find_list_faults(const KeyList& list, const KeyList* reference,
                                          int32_t today)
{
    return Finder(list, reference, today).run();
}
