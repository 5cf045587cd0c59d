#pragma once

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <memory>

// Owners of libssh's handles: each is freed exactly once, by its owner, on every path.
namespace ssh_handles {

struct SessionFree {
    void operator()(ssh_session session) const {
        if (ssh_is_connected(session))
            ssh_disconnect(session);
        ssh_free(session);
    }
};
struct SftpFree {
    void operator()(sftp_session sftp) const { sftp_free(sftp); }
};
struct FileClose {
    void operator()(sftp_file file) const { sftp_close(file); }
};
struct DirClose {
    void operator()(sftp_dir dir) const { sftp_closedir(dir); }
};
struct AttributesFree {
    void operator()(sftp_attributes attributes) const { sftp_attributes_free(attributes); }
};
struct KeyFree {
    void operator()(ssh_key key) const { ssh_key_free(key); }
};
struct CharFree {
    void operator()(char* text) const { ssh_string_free_char(text); }
};

} // namespace ssh_handles

using SshSessionHandle = std::unique_ptr<ssh_session_struct, ssh_handles::SessionFree>;
using SftpHandle = std::unique_ptr<sftp_session_struct, ssh_handles::SftpFree>;
using SftpFileHandle = std::unique_ptr<sftp_file_struct, ssh_handles::FileClose>;
using SftpDirHandle = std::unique_ptr<sftp_dir_struct, ssh_handles::DirClose>;
using SftpAttributesHandle = std::unique_ptr<sftp_attributes_struct, ssh_handles::AttributesFree>;
using SshKeyHandle = std::unique_ptr<ssh_key_struct, ssh_handles::KeyFree>;
using SshText = std::unique_ptr<char, ssh_handles::CharFree>;
