// The C library's unistd.h, plus what Apple's adds that the C library here
// lacks: getpeereid(3), the user and group of a Unix socket's peer.
#pragma once
#include_next <unistd.h>

#ifdef __cplusplus
extern "C" {
#endif
int getpeereid(int socket, uid_t* euid, gid_t* egid);
#ifdef __cplusplus
}
#endif
