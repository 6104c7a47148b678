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
    void pair(const ListedKey& a, const ListedKey& b);
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

void Finder::pair(const ListedKey& a, const ListedKey& b)
{
    const bool same_slot = same_rid(a, b) && a.index == b.index;
    const bool same_modulus = a.modulus == b.modulus;
    if (same_slot && same_key(a, b)) {
        add(a, "repeated", "the same key as at " + line_text(b.line));
    } else if (same_slot) {
        add(a, "conflict", "another key under " + listed_key_label(a) + " at " + line_text(b.line));
    } else if (same_modulus && same_rid(a, b)) {
        add(a, "same_index_modulus",
            "the same modulus as " + listed_key_label(b) + " at " + line_text(b.line));
    } else if (same_modulus) {
        add(a, "shared_modulus",
            "the same modulus as " + listed_key_label(b) + " at " + line_text(b.line));
    }
}

void Finder::pairs()
{
    // Only keys that share a slot or a modulus are compared.
    std::map<std::vector<uint8_t>, std::vector<size_t>> by_modulus;
    std::map<std::string, std::vector<size_t>> by_slot;
    for (size_t i = 0; i < list_.keys.size(); ++i) {
        by_modulus[list_.keys[i].modulus].push_back(i);
        by_slot[listed_key_label(list_.keys[i])].push_back(i);
    }
    const auto each_pair = [this](const std::vector<size_t>& group, bool slot_group) {
        for (size_t i : group) {
            for (size_t j : group) {
                const ListedKey& a = list_.keys[i];
                const ListedKey& b = list_.keys[j];
                const bool slot = same_rid(a, b) && a.index == b.index;
                // A pair in both groups is judged once, in its slot group.
                if (i != j && (slot_group || !slot))
                    pair(a, b);
            }
        }
    };
    for (const auto& group : by_slot)
        each_pair(group.second, true);
    for (const auto& group : by_modulus)
        each_pair(group.second, false);
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
