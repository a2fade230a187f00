#include "KeyedArchiveWriter.h"

KeyedArchiveWriter::KeyedArchiveWriter()
    : m_objects(plist_new_array())
{
    plist_array_append_item(m_objects, plist_new_string("$null"));
}

KeyedArchiveWriter::~KeyedArchiveWriter()
{
    if (m_objects)
        plist_free(m_objects);
}

KeyedArchiveWriter::UID KeyedArchiveWriter::append(plist_t node)
{
    plist_array_append_item(m_objects, node);
    return plist_array_get_size(m_objects) - 1;
}

KeyedArchiveWriter::UID KeyedArchiveWriter::string(const std::string& text)
{
    return append(plist_new_string(text.c_str()));
}

KeyedArchiveWriter::UID KeyedArchiveWriter::number(double value)
{
    return append(plist_new_real(value));
}

KeyedArchiveWriter::UID KeyedArchiveWriter::classDescription(const std::vector<std::string>& classChain)
{
    for (const auto& [name, uid] : m_classes)
        if (name == classChain.front())
            return uid;
    plist_t description = plist_new_dict();
    plist_dict_set_item(description, "$classname", plist_new_string(classChain.front().c_str()));
    plist_t classes = plist_new_array();
    for (const std::string& name : classChain)
        plist_array_append_item(classes, plist_new_string(name.c_str()));
    plist_dict_set_item(description, "$classes", classes);
    const UID uid = append(description);
    m_classes.emplace_back(classChain.front(), uid);
    return uid;
}

KeyedArchiveWriter::UID KeyedArchiveWriter::array(const std::vector<UID>& members)
{
    const UID classUID = classDescription({"NSArray", "NSObject"});
    plist_t node = plist_new_dict();
    plist_t objects = plist_new_array();
    for (const UID member : members)
        plist_array_append_item(objects, plist_new_uid(member));
    plist_dict_set_item(node, "NS.objects", objects);
    plist_dict_set_item(node, "$class", plist_new_uid(classUID));
    return append(node);
}

KeyedArchiveWriter::UID KeyedArchiveWriter::dictionary(const std::vector<std::pair<UID, UID>>& keysAndValues)
{
    const UID classUID = classDescription({"NSDictionary", "NSObject"});
    plist_t node = plist_new_dict();
    plist_t keys = plist_new_array();
    plist_t values = plist_new_array();
    for (const auto& [key, value] : keysAndValues) {
        plist_array_append_item(keys, plist_new_uid(key));
        plist_array_append_item(values, plist_new_uid(value));
    }
    plist_dict_set_item(node, "NS.keys", keys);
    plist_dict_set_item(node, "NS.objects", values);
    plist_dict_set_item(node, "$class", plist_new_uid(classUID));
    return append(node);
}

KeyedArchiveWriter::UID KeyedArchiveWriter::object(const std::vector<std::string>& classChain)
{
    const UID classUID = classDescription(classChain);
    m_current = plist_new_dict();
    plist_dict_set_item(m_current, "$class", plist_new_uid(classUID));
    return append(m_current);
}

void KeyedArchiveWriter::setBool(const char* key, bool value)
{
    plist_dict_set_item(m_current, key, plist_new_bool(value));
}

void KeyedArchiveWriter::setDouble(const char* key, double value)
{
    plist_dict_set_item(m_current, key, plist_new_real(value));
}

void KeyedArchiveWriter::setInteger(const char* key, std::uint64_t value)
{
    plist_dict_set_item(m_current, key, plist_new_uint(value));
}

void KeyedArchiveWriter::setReference(const char* key, UID value)
{
    plist_dict_set_item(m_current, key, plist_new_uid(value));
}

std::string KeyedArchiveWriter::finish(UID root)
{
    plist_t archive = plist_new_dict();
    plist_dict_set_item(archive, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(archive, "$version", plist_new_uint(100000));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(root));
    plist_dict_set_item(archive, "$top", top);
    plist_dict_set_item(archive, "$objects", m_objects);
    m_objects = nullptr;
    m_current = nullptr;
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(archive, &bytes, &length);
    std::string result(bytes ? bytes : "", bytes ? length : 0);
    plist_to_bin_free(bytes);
    plist_free(archive);
    return result;
}
