// Control calls of one host component; filled in by that component.
#pragma once
