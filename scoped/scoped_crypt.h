// Scope classes of the CryptoAPI objects that checking a TLS peer takes: certificate stores,
// certificate contexts and certificate chains. Apart from scoped_win.h so that only the programs
// that check certificates link crypt32.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include "scoped/scoped_win.h"

namespace scoped {

namespace closing {
inline void CertStore(HCERTSTORE store) { CertCloseStore(store, 0); }
inline void CertContext(PCCERT_CONTEXT context) { CertFreeCertificateContext(context); }
inline void CertChain(PCCERT_CHAIN_CONTEXT chain) { CertFreeCertificateChain(chain); }
}  // namespace closing

using CertStore = Unique<NullEmptyTraits<HCERTSTORE, closing::CertStore>>;
using CertContext = Unique<NullEmptyTraits<PCCERT_CONTEXT, closing::CertContext>>;
using CertChain = Unique<NullEmptyTraits<PCCERT_CHAIN_CONTEXT, closing::CertChain>>;

}  // namespace scoped
