// The exclusive claim on a serial device belongs to the device, not to the descriptor: a
// program that ends without releasing it can leave the device refused to every other user.
// Claims are therefore registered here and released on SIGTERM, SIGINT, SIGHUP and SIGQUIT
// and at exit, as well as by the normal close.
#pragma once

// Registers a claimed descriptor; the first registration installs the signal handlers (for
// the signals whose action is still the default one) and the exit hook.
void RegisterClaim(int fd);
// Forgets the descriptor; called before it is released and closed.
void UnregisterClaim(int fd);
