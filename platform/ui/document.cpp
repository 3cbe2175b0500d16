#include "platform/ui/document.h"

#include "platform/ui/view.h"

#include <algorithm>

CDocument::CDocument() = default;

CDocument::~CDocument() {
    for (CView* view : views) {
        view->SetDocument(nullptr);
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    pathName.clear();
    modified = false;
    return true;
}

void CDocument::DeleteContents() {}

void CDocument::AddView(CView* view) {
    if (view != nullptr && std::find(views.begin(), views.end(), view) == views.end()) {
        views.push_back(view);
        view->SetDocument(this);
    }
}

void CDocument::RemoveView(CView* view) {
    std::erase(views, view);
}
