#pragma once

#include "platform/ui/cmdtarget.h"

#include <string>
#include <vector>

class CView;

// A document: its views, its title and path, its modified flag. It stores nothing by itself.
class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    // A new, empty document: no path, not modified.
    virtual bool OnNewDocument();
    virtual void DeleteContents();

    bool IsModified() const { return modified; }
    void SetModifiedFlag(bool isModified = true) { modified = isModified; }
    const std::u16string& GetTitle() const { return title; }
    void SetTitle(const std::u16string& text) { title = text; }
    const std::u16string& GetPathName() const { return pathName; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return views; }

private:
    std::vector<CView*> views;
    std::u16string title;
    std::u16string pathName;
    bool modified = false;
};
