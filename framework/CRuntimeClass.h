#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/CObject.h"

// Run-time class record of a serialisable class: its stored name, its schema and a factory.
// Every record registers itself by name when it is constructed, so a reader can create an
// object from the class name it finds in a stream.
class CRuntimeClass {
public:
    // A schema with this bit set accepts any schema word on reading (the word read is then
    // available to the object's Serialize through CArchive::GetObjectSchema).
    static constexpr uint32_t versionableSchema = 0x80000000u;

    using Factory = std::unique_ptr<CObject> (*)();

    CRuntimeClass(const char* name, uint32_t schema, Factory factory);
    CRuntimeClass(const CRuntimeClass&) = delete;
    CRuntimeClass& operator=(const CRuntimeClass&) = delete;

    const char* GetName() const { return m_name; }
    uint32_t GetSchema() const { return m_schema; }
    // The 16-bit schema word as it stands in a stream.
    uint16_t GetSchemaWord() const { return static_cast<uint16_t>(m_schema & 0xFFFFu); }
    bool AcceptsAnySchema() const { return (m_schema & versionableSchema) != 0; }
    std::unique_ptr<CObject> CreateObject() const { return m_factory(); }

    // The registered class of that name, or nullptr.
    static const CRuntimeClass* FromName(const std::string& name);

private:
    const char* m_name;
    uint32_t m_schema;
    Factory m_factory;
};

// The object a reader creates to read a record of class T into.
template <typename T> std::unique_ptr<CObject> MakeObjectForReading()
{
    if constexpr (requires { T::MakeForReading(); })
        return T::MakeForReading();
    else
        return std::make_unique<T>();
}

// In a class body: declares the class's run-time record.
#define WEVRA_DECLARE_SERIAL(ClassName)                                                            \
public:                                                                                            \
    static const CRuntimeClass& GetThisClass();                                                    \
    const CRuntimeClass* GetRuntimeClass() const override                                          \
    {                                                                                              \
        return &GetThisClass();                                                                    \
    }                                                                                              \
                                                                                                   \
private:

// In the class's source file: defines and registers the record under the stored name. A class
// whose default object is costly to make only to be overwritten by the record read into it
// gives the reader a cheaper one from a static MakeForReading().
#define WEVRA_IMPLEMENT_SERIAL(ClassName, StoredName, Schema)                                      \
    namespace {                                                                                    \
    std::unique_ptr<CObject> Create##ClassName()                                                   \
    {                                                                                              \
        return MakeObjectForReading<ClassName>();                                                  \
    }                                                                                              \
    const CRuntimeClass& s_class##ClassName = ClassName::GetThisClass();                           \
    }                                                                                              \
    const CRuntimeClass& ClassName::GetThisClass()                                                 \
    {                                                                                              \
        static const CRuntimeClass record(StoredName, Schema, &Create##ClassName);                 \
        return record;                                                                             \
    }
