// CRegistryKey: one key below HKEY_LOCAL_MACHINE.
// FIXME: the accessor comes with the registry.
