#pragma once
// The common base of the engine's classes: run-time class information (a class name and its
// base) for type tests such as "is this object a room?", and a diagnostic dump.
#include <string>

struct RuntimeClass {
    const char* className;
    const RuntimeClass* base;

    bool IsDerivedFrom(const RuntimeClass* other) const {
        for (const RuntimeClass* c = this; c != nullptr; c = c->base)
            if (c == other) return true;
        return false;
    }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const RuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const RuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    // Appends a readable description of the object; each class adds its part and its base's.
    virtual void Dump(std::string& out) const { (void)out; }

    static const RuntimeClass classCObject;
};

// Declares and defines the run-time class of `name`, derived from `base`.
#define TARVO_DECLARE_CLASS(name)                                                                  \
public:                                                                                            \
    static const RuntimeClass class##name;                                                         \
    const RuntimeClass* GetRuntimeClass() const override {                                         \
        return &class##name;                                                                       \
    }

#define TARVO_IMPLEMENT_CLASS(name, base)                                                          \
    const RuntimeClass name::class##name { #name, &base::class##base };

#define RUNTIME_CLASS(name) (&name::class##name)

// Dumps an object to the trace channel as one line.
void TraceDump(const CObject& object);
