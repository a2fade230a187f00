#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <plist/plist.h>

// Builds a keyed archive in its binary property-list form: "$archiver",
// "$version", "$top" with the root object's UID, and "$objects", whose first
// entry is the "$null" placeholder. Objects refer to each other by UID;
// each class is described once by a "$classname"/"$classes" dictionary.
class KeyedArchiveWriter {
public:
    using UID = std::uint64_t;

    KeyedArchiveWriter();
    ~KeyedArchiveWriter();
    KeyedArchiveWriter(const KeyedArchiveWriter&) = delete;
    KeyedArchiveWriter& operator=(const KeyedArchiveWriter&) = delete;

    UID string(const std::string& text);
    UID number(double value);
    UID array(const std::vector<UID>& members);
    UID dictionary(const std::vector<std::pair<UID, UID>>& keysAndValues);

    // A new object of a class (its name first, then its superclasses); the
    // fields are set with the calls below while it is the current object.
    UID object(const std::vector<std::string>& classChain);
    void setBool(const char* key, bool value);
    void setDouble(const char* key, double value);
    void setInteger(const char* key, std::uint64_t value);
    void setReference(const char* key, UID value);

    // The archive's bytes with `root` as its top object.
    std::string finish(UID root);

private:
    UID append(plist_t node);
    UID classDescription(const std::vector<std::string>& classChain);

    plist_t m_objects;
    plist_t m_current = nullptr;
    std::vector<std::pair<std::string, UID>> m_classes;
};
