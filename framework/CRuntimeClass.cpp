#include "framework/CRuntimeClass.h"

#include <map>

namespace {

std::map<std::string, const CRuntimeClass*>& Registry()
{
    static std::map<std::string, const CRuntimeClass*> registry;
    return registry;
}

} // namespace

CRuntimeClass::CRuntimeClass(const char* name, uint32_t schema, Factory factory)
    : m_name(name), m_schema(schema), m_factory(factory)
{
    Registry()[name] = this;
}

const CRuntimeClass* CRuntimeClass::FromName(const std::string& name)
{
    const auto& registry = Registry();
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}
