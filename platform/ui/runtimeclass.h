#pragma once

class CCmdTarget;

// How a document template makes its document, frame and view without knowing their classes.
struct CRuntimeClass {
    const char* className;
    CCmdTarget* (*createObject)();
};

template <class T> const CRuntimeClass* RuntimeClassOf() {
    static const CRuntimeClass runtimeClass{"", []() -> CCmdTarget* { return new T; }};
    return &runtimeClass;
}
