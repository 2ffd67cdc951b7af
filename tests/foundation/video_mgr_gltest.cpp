// The platform object in OpenGL mode under an X display.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "foundation/video_mgr.h"
#include "test_support.h"

TEST(VideoMgrGL, OpenGLModePrintsItsSetUpAndProbesVertexBuffers) {
    log_capture log;
    video.flags = SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_OPENGL;
    ASSERT_EQ(video.set_video_mode(640, 480, 32), 0);
    EXPECT_NE(video.is_gl(), 0);
    EXPECT_TRUE(log.has("Setting GL Atts [2]\n"));
    EXPECT_TRUE(log.has("Max texture size["));
    EXPECT_TRUE(log.has("Using GLDL\n"));
    EXPECT_TRUE(log.has("Setting up OpenGL 2D\n"));
    EXPECT_EQ(video.vbo_supported != 0, check_extension("GL_ARB_vertex_buffer_object"));
    if (video.vbo_supported) {
        EXPECT_TRUE(log.has("VBO Support enabled\n"));
        EXPECT_NE(p_glGenBuffersARB, nullptr);
        EXPECT_NE(p_glBindBufferARB, nullptr);
        EXPECT_NE(p_glBufferDataARB, nullptr);
        EXPECT_NE(p_glDeleteBuffersARB, nullptr);
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(VideoMgrGL, TheProjectionPutsTheOriginTopLeftOnePixelPerUnit) {
    ASSERT_TRUE(open_test_screen(true));
    video.clear();
    glColor3ub(255, 0, 0);
    glBegin(GL_QUADS); // the top-left pixel
    glVertex2i(0, 0); glVertex2i(0, 1); glVertex2i(1, 1); glVertex2i(1, 0);
    glEnd();
    glColor3ub(0, 255, 0);
    glBegin(GL_QUADS); // the bottom-right pixel
    glVertex2i(639, 479); glVertex2i(639, 480); glVertex2i(640, 480); glVertex2i(640, 479);
    glEnd();
    uint8_t r, g, b;
    read_screen_pixel(0, 0, &r, &g, &b);
    EXPECT_EQ(r, 255);
    read_screen_pixel(1, 1, &r, &g, &b);
    EXPECT_EQ(r, 0);
    read_screen_pixel(639, 479, &r, &g, &b);
    EXPECT_EQ(g, 255);
    read_screen_pixel(638, 478, &r, &g, &b);
    EXPECT_EQ(g, 0);
}

TEST(VideoMgrGL, ClearEmptiesTheColourBufferAndIn3DTheDepthBufferToo) {
    ASSERT_TRUE(open_test_screen(true));
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    video.clear();
    uint8_t r, g, b;
    read_screen_pixel(320, 240, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);

    video.ortho_2d = 0;
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    video.clear();
    float depth = 0;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    video.ortho_2d = 1;
}

TEST(VideoMgrGL, ThePerspectiveProjectionIsAnnounced) {
    video.ortho_2d = 0;
    log_capture log;
    video.flags = SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_OPENGL;
    ASSERT_EQ(video.set_video_mode(640, 480, 32), 0);
    EXPECT_TRUE(log.has("Setting up OpenGL 3D\n"));
    EXPECT_FALSE(log.has("Setting up OpenGL 2D\n"));
}
