#pragma once

#include "platform/ui/document.h"

// The document: it holds nothing; the call list lives in the view.
class CRinglogDoc : public CDocument {
public:
    CRinglogDoc();

    bool OnNewDocument() override;
};
