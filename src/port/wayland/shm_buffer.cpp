#include "port/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <limits>

const wl_buffer_listener ShmBuffer::kListener = {
    [](void* data, wl_buffer*) {
        const auto& released = static_cast<ShmBuffer*>(data)->released_;
        if (released)
            released();
    },
};

std::unique_ptr<ShmBuffer> ShmBuffer::Make(wl_shm* shm, std::int32_t width, std::int32_t height,
                                           std::function<void()> released)
{
    if (width <= 0 || height <= 0 || width > std::numeric_limits<std::int32_t>::max() / 4 / height)
        return nullptr;
    const std::int32_t stride = width * 4;
    const std::int32_t size = stride * height;
    const int fd = memfd_create("varbules-buffer", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, size) == 0)
        memory = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    // The pool is only the way to the buffer: once the buffer exists, neither the pool
    // nor the file's descriptor is needed any more.
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);

    std::unique_ptr<ShmBuffer> made(new ShmBuffer);
    made->pixels_ = Pixels{static_cast<std::uint32_t*>(memory), width, height, width};
    made->bytes_ = static_cast<std::size_t>(size);
    made->buffer_ = buffer;
    made->released_ = std::move(released);
    wl_buffer_add_listener(buffer, &kListener, made.get());
    return made;
}

ShmBuffer::~ShmBuffer()
{
    wl_buffer_destroy(buffer_);
    munmap(pixels_.data, bytes_);
}
