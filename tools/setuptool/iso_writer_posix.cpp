#include "iso_writer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

#define LIBISOFS_WITHOUT_LIBBURN
#include <libisofs/libisofs.h>

namespace {

constexpr mode_t FILE_MODE = 0444, FOLDER_MODE = 0555;
constexpr int SECTOR = 2048;

struct ImageRelease {
    void operator()(IsoImage* image) const { iso_image_unref(image); }
};
struct OptsRelease {
    void operator()(IsoWriteOpts* opts) const { iso_write_opts_free(opts); }
};
struct SourceRelease {
    void operator()(burn_source* source) const {
        source->free_data(source);
        std::free(source);
    }
};

// The library, set up once for the process and told that names are UTF-8.
bool libraryReady(std::string& error) {
    static int status = [] {
        int rc = iso_init_with_flag(1);
        if (rc < 0) return rc;
        iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
        // Problems are queued and reported here, not printed by the library.
        iso_set_msgs_severities(const_cast<char*>("SORRY"), const_cast<char*>("NEVER"),
                                const_cast<char*>("setuptool"));
        return rc;
    }();
    if (status < 0) error = std::string("cannot start libisofs: ") + iso_error_to_msg(status);
    return status >= 0;
}

std::string libraryText(int rc) {
    std::string text = iso_error_to_msg(rc);
    char message[ISO_MSGS_MESSAGE_LEN], severity[80];
    int code = 0, id = 0;
    while (iso_obtain_msgs(const_cast<char*>("SORRY"), &code, &id, message, severity) > 0)
        text = message;
    return text;
}

void setTimes(IsoNode* node, const struct stat& st) {
    iso_node_set_mtime(node, st.st_mtime);
    iso_node_set_atime(node, st.st_atime);
    iso_node_set_ctime(node, st.st_ctime);
}

// The tree of the image, every folder before what it holds.
bool buildTree(IsoImage* image, const ImagePlan& plan, const std::filesystem::path& disc,
               std::string& error) {
    IsoDir* root = iso_image_get_root(image);
    struct stat st;
    if (::stat(disc.c_str(), &st) == 0) setTimes(reinterpret_cast<IsoNode*>(root), st);
    std::map<std::string, IsoDir*> folders{{"", root}};
    for (const ImageEntry& e : plan.entries) {
        std::size_t slash = e.name.rfind('/');
        std::string parentName = slash == std::string::npos ? "" : e.name.substr(0, slash);
        std::string leaf = e.name.substr(slash == std::string::npos ? 0 : slash + 1);
        IsoDir* parent = folders.at(parentName);
        IsoNode* node = nullptr;
        int rc = 0;
        if (e.folder) {
            IsoDir* dir = nullptr;
            rc = iso_tree_add_new_dir(parent, leaf.c_str(), &dir);
            if (rc >= 0 && ::stat(e.source.c_str(), &st) == 0) {
                node = reinterpret_cast<IsoNode*>(dir);
                setTimes(node, st);
                folders[e.name] = dir;
            }
        } else {
            rc = iso_tree_add_new_node(image, parent, leaf.c_str(), e.source.c_str(), &node);
            // Whatever changed since the folder was read: only plain files go in.
            if (rc >= 0 && iso_node_get_type(node) != LIBISO_FILE) {
                error = e.name + ": no longer a plain file";
                return false;
            }
        }
        if (rc < 0 || !node) {
            error = e.name + ": " + (rc < 0 ? libraryText(rc) : "cannot be read");
            return false;
        }
    }
    if (plan.autorun.empty()) return true;
    // libisofs frees the buffer with the stream.
    auto* bytes = static_cast<unsigned char*>(std::malloc(plan.autorun.size()));
    if (!bytes) return false;
    std::memcpy(bytes, plan.autorun.data(), plan.autorun.size());
    IsoStream* stream = nullptr;
    IsoFile* file = nullptr;
    int rc = iso_memory_stream_new(bytes, plan.autorun.size(), &stream);
    if (rc < 0) {
        std::free(bytes);
    } else {
        // The file takes the stream's reference.
        rc = iso_tree_add_new_file(root, AUTORUN_NAME, stream, &file);
        if (rc < 0) iso_stream_unref(stream);
    }
    if (rc < 0) {
        error = std::string(AUTORUN_NAME) + ": " + libraryText(rc);
        return false;
    }
    std::time_t now = std::time(nullptr);
    struct stat made {};
    made.st_mtime = made.st_atime = made.st_ctime = now;
    setTimes(reinterpret_cast<IsoNode*>(file), made);
    return true;
}

IsoWriteOpts* writeOptions() {
    IsoWriteOpts* opts = nullptr;
    if (iso_write_opts_new(&opts, 0) < 0) return nullptr;
    iso_write_opts_set_iso_level(opts, 3);
    iso_write_opts_set_rockridge(opts, 1);
    iso_write_opts_set_joliet(opts, 1);
    iso_write_opts_set_joliet_longer_paths(opts, 1);
    // Owners and permissions of a pressed disc; the times of the folder in every tree.
    iso_write_opts_set_replace_mode(opts, 2, 2, 2, 2);
    iso_write_opts_set_default_dir_mode(opts, FOLDER_MODE);
    iso_write_opts_set_default_file_mode(opts, FILE_MODE);
    iso_write_opts_set_default_uid(opts, 0);
    iso_write_opts_set_default_gid(opts, 0);
    iso_write_opts_set_replace_timestamps(opts, 0);
    iso_write_opts_set_dir_rec_mtime(opts, 1 | 2);
    iso_write_opts_set_always_gmt(opts, 1);
    return opts;
}

}  // namespace

long long writeIsoImage(const ImagePlan& plan, const std::filesystem::path& disc, std::FILE* out,
                        StderrProgress& line, std::string& error) {
    if (!libraryReady(error)) return -1;
    IsoImage* raw = nullptr;
    if (int rc = iso_image_new(plan.label.c_str(), &raw); rc < 0) {
        error = "cannot make the image: " + libraryText(rc);
        return -1;
    }
    std::unique_ptr<IsoImage, ImageRelease> image(raw);
    iso_image_set_application_id(raw, const_cast<char*>("SETUPTOOL"));
    if (!buildTree(raw, plan, disc, error)) return -1;
    std::unique_ptr<IsoWriteOpts, OptsRelease> opts(writeOptions());
    burn_source* source = nullptr;
    int rc = opts ? iso_image_create_burn_source(raw, opts.get(), &source) : ISO_OUT_OF_MEM;
    if (rc < 0) {
        error = "cannot make the image: " + libraryText(rc);
        return -1;
    }
    std::unique_ptr<burn_source, SourceRelease> producer(source);
    const long long total = source->get_size(source);
    std::vector<unsigned char> buffer(32 * SECTOR);
    long long done = 0;
    // The source delivers whole requests only: the last one asks for what is left.
    while (done < total) {
        long long want = std::min<long long>(static_cast<long long>(buffer.size()), total - done);
        int n = source->read_xt(source, buffer.data(), static_cast<int>(want));
        if (n <= 0) {
            if (n < 0) error = "cannot make the image: " + libraryText(ISO_WRITE_ERROR);
            break;
        }
        if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), out) !=
            static_cast<std::size_t>(n)) {
            error = "cannot write the image";
            break;
        }
        done += n;
        line.report(static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total));
    }
    // A file that changed or could not be read while the image was made is a queued problem.
    char message[ISO_MSGS_MESSAGE_LEN], severity[80];
    int code = 0, id = 0;
    if (error.empty() &&
        iso_obtain_msgs(const_cast<char*>("SORRY"), &code, &id, message, severity) > 0)
        error = std::string("cannot make the image: ") + message;
    if (error.empty() && done != total)
        error = "the image ended early: " + libraryText(ISO_WRITE_ERROR);
    if (!error.empty()) {
        source->cancel(source);
        return -1;
    }
    return done;
}
