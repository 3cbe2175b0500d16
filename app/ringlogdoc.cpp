#include "app/ringlogdoc.h"

CRinglogDoc::CRinglogDoc() = default;

bool CRinglogDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}
