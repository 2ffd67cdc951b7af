// The animation editor's state and loop, shared by the program and its tests.
#pragma once
