// Filled in by its component.
#pragma once
