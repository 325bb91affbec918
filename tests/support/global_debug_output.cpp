// The writer's side of the listener protocol on the global names, and a denied global object.
#include "support/global_debug_output.h"

#include <cstring>

namespace {
constexpr DWORD kSectionSize = 4096;
constexpr DWORD kTextRoom = kSectionSize - sizeof(DWORD) - 1;  // the process id first, a NUL last
}  // namespace

bool WriteGlobalDebugOutput(const std::string& text, DWORD milliseconds) {
  const scoped::Handle bufferReady(OpenEventA(SYNCHRONIZE, FALSE, "Global\\DBWIN_BUFFER_READY"));
  const scoped::Handle dataReady(OpenEventA(EVENT_MODIFY_STATE, FALSE, "Global\\DBWIN_DATA_READY"));
  const scoped::Handle section(OpenFileMappingA(FILE_MAP_WRITE, FALSE, "Global\\DBWIN_BUFFER"));
  if (!bufferReady || !dataReady || !section) return false;
  const scoped::MappedView view(MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, kSectionSize));
  if (!view) return false;
  if (WaitForSingleObject(bufferReady.get(), milliseconds) != WAIT_OBJECT_0) return false;
  auto* bytes = static_cast<char*>(view.get());
  const DWORD processId = GetCurrentProcessId();
  std::memcpy(bytes, &processId, sizeof processId);
  const std::size_t length = text.size() < kTextRoom ? text.size() : kTextRoom;
  std::memcpy(bytes + sizeof processId, text.data(), length);
  bytes[sizeof processId + length] = '\0';
  return SetEvent(dataReady.get()) != FALSE;
}

scoped::Handle HoldGlobalDebugObjectDenied() {
  SECURITY_DESCRIPTOR descriptor;
  ACL empty;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !InitializeAcl(&empty, sizeof empty, ACL_REVISION) || !SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE)) {
    return scoped::Handle();
  }
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
  scoped::Handle event(CreateEventA(&attributes, FALSE, FALSE, "Global\\DBWIN_BUFFER_READY"));
  // One that was there already keeps its own DACL: a listener's, which it is not to be taken for.
  if (GetLastError() == ERROR_ALREADY_EXISTS) event.reset();
  return event;
}
