// FFmpeg's libraries, loaded when a video is first read or written rather than when the
// program starts: they bring some 130 shared libraries with them, which cost every run of
// anivor-cli about 40 ms even when it never touches a video. Include this after FFmpeg's
// own headers: it turns each function the program calls into a call through the table.
#pragma once

#ifndef AVFORMAT_AVFORMAT_H
#error "include FFmpeg's headers first"
#endif

// Every FFmpeg function the program calls.
#define ANIVOR_FFMPEG_FUNCTIONS(X) \
    X(av_buffer_create) \
    X(av_buffer_unref) \
    X(av_dict_free) \
    X(av_dict_set) \
    X(av_dict_set_int) \
    X(av_frame_alloc) \
    X(av_frame_free) \
    X(av_frame_get_buffer) \
    X(av_frame_make_writable) \
    X(av_frame_move_ref) \
    X(av_frame_unref) \
    X(av_free) \
    X(av_freep) \
    X(av_interleaved_write_frame) \
    X(av_log_set_level) \
    X(av_malloc) \
    X(av_packet_alloc) \
    X(av_packet_free) \
    X(av_packet_rescale_ts) \
    X(av_packet_unref) \
    X(av_read_frame) \
    X(av_strdup) \
    X(av_strerror) \
    X(av_write_trailer) \
    X(avcodec_alloc_context3) \
    X(avcodec_default_get_buffer2) \
    X(avcodec_descriptor_get) \
    X(avcodec_find_decoder) \
    X(avcodec_find_encoder_by_name) \
    X(avcodec_free_context) \
    X(avcodec_open2) \
    X(avcodec_parameters_from_context) \
    X(avcodec_parameters_to_context) \
    X(avcodec_receive_frame) \
    X(avcodec_receive_packet) \
    X(avcodec_send_frame) \
    X(avcodec_send_packet) \
    X(avformat_alloc_context) \
    X(avformat_alloc_output_context2) \
    X(avformat_close_input) \
    X(avformat_find_stream_info) \
    X(avformat_free_context) \
    X(avformat_index_get_entries_count) \
    X(avformat_new_stream) \
    X(avformat_open_input) \
    X(avformat_write_header) \
    X(avio_alloc_context) \
    X(avio_context_free) \
    X(avio_flush) \
    X(sws_freeContext) \
    X(sws_getCachedContext) \
    X(sws_scale)

struct TFFmpegLibraries {
#define ANIVOR_FFMPEG_POINTER(name) decltype(&::name) name = nullptr;
    ANIVOR_FFMPEG_FUNCTIONS(ANIVOR_FFMPEG_POINTER)
#undef ANIVOR_FFMPEG_POINTER
};

// The table, the libraries loaded (and FFmpeg's own log silenced) on the first call.
// Throws EVideoError naming what is missing when they cannot be loaded.
const TFFmpegLibraries& FFmpeg();

#ifndef ANIVOR_FFMPEG_LOADER
#define av_buffer_create (::FFmpeg().av_buffer_create)
#define av_buffer_unref (::FFmpeg().av_buffer_unref)
#define av_dict_free (::FFmpeg().av_dict_free)
#define av_dict_set (::FFmpeg().av_dict_set)
#define av_dict_set_int (::FFmpeg().av_dict_set_int)
#define av_frame_alloc (::FFmpeg().av_frame_alloc)
#define av_frame_free (::FFmpeg().av_frame_free)
#define av_frame_get_buffer (::FFmpeg().av_frame_get_buffer)
#define av_frame_make_writable (::FFmpeg().av_frame_make_writable)
#define av_frame_move_ref (::FFmpeg().av_frame_move_ref)
#define av_frame_unref (::FFmpeg().av_frame_unref)
#define av_free (::FFmpeg().av_free)
#define av_freep (::FFmpeg().av_freep)
#define av_interleaved_write_frame (::FFmpeg().av_interleaved_write_frame)
#define av_log_set_level (::FFmpeg().av_log_set_level)
#define av_malloc (::FFmpeg().av_malloc)
#define av_packet_alloc (::FFmpeg().av_packet_alloc)
#define av_packet_free (::FFmpeg().av_packet_free)
#define av_packet_rescale_ts (::FFmpeg().av_packet_rescale_ts)
#define av_packet_unref (::FFmpeg().av_packet_unref)
#define av_read_frame (::FFmpeg().av_read_frame)
#define av_strdup (::FFmpeg().av_strdup)
#define av_strerror (::FFmpeg().av_strerror)
#define av_write_trailer (::FFmpeg().av_write_trailer)
#define avcodec_alloc_context3 (::FFmpeg().avcodec_alloc_context3)
#define avcodec_default_get_buffer2 (::FFmpeg().avcodec_default_get_buffer2)
#define avcodec_descriptor_get (::FFmpeg().avcodec_descriptor_get)
#define avcodec_find_decoder (::FFmpeg().avcodec_find_decoder)
#define avcodec_find_encoder_by_name (::FFmpeg().avcodec_find_encoder_by_name)
#define avcodec_free_context (::FFmpeg().avcodec_free_context)
#define avcodec_open2 (::FFmpeg().avcodec_open2)
#define avcodec_parameters_from_context (::FFmpeg().avcodec_parameters_from_context)
#define avcodec_parameters_to_context (::FFmpeg().avcodec_parameters_to_context)
#define avcodec_receive_frame (::FFmpeg().avcodec_receive_frame)
#define avcodec_receive_packet (::FFmpeg().avcodec_receive_packet)
#define avcodec_send_frame (::FFmpeg().avcodec_send_frame)
#define avcodec_send_packet (::FFmpeg().avcodec_send_packet)
#define avformat_alloc_context (::FFmpeg().avformat_alloc_context)
#define avformat_alloc_output_context2 (::FFmpeg().avformat_alloc_output_context2)
#define avformat_close_input (::FFmpeg().avformat_close_input)
#define avformat_find_stream_info (::FFmpeg().avformat_find_stream_info)
#define avformat_free_context (::FFmpeg().avformat_free_context)
#define avformat_index_get_entries_count (::FFmpeg().avformat_index_get_entries_count)
#define avformat_new_stream (::FFmpeg().avformat_new_stream)
#define avformat_open_input (::FFmpeg().avformat_open_input)
#define avformat_write_header (::FFmpeg().avformat_write_header)
#define avio_alloc_context (::FFmpeg().avio_alloc_context)
#define avio_context_free (::FFmpeg().avio_context_free)
#define avio_flush (::FFmpeg().avio_flush)
#define sws_freeContext (::FFmpeg().sws_freeContext)
#define sws_getCachedContext (::FFmpeg().sws_getCachedContext)
#define sws_scale (::FFmpeg().sws_scale)
#endif
